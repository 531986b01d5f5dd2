// A window program: its main class names the window toolkit.
package viewer;

import javax.swing.JFrame;

public class Viewer {
  public static void main(String[] args) {
    new JFrame("Viewer").setVisible(true);
  }
}
