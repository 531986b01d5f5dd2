// The demo MIDlet suite's one MIDlet: says hello and ends.
package demo;

import javax.microedition.midlet.MIDlet;

public final class DemoMidlet extends MIDlet {
    protected void startApp() {
        String name = getAppProperty("MIDlet-Name");
        System.out.println("Hello from " + (name == null ? "the demo MIDlet" : name));
        notifyDestroyed();
    }

    protected void pauseApp() {}

    protected void destroyApp(boolean unconditional) {}
}
