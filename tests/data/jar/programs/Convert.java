// A command-line program: reads a line, writes it back in capitals; only java.lang and java.io.
package tool;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;

public class Convert {
  public static void main(String[] args) throws IOException {
    System.out.println("Type a line:");
    String line = new BufferedReader(new InputStreamReader(System.in)).readLine();
    System.out.println(line == null ? "" : line.toUpperCase());
  }
}
