// Compile-time stand-in for the MIDP class the demo MIDlet extends; the device's own class is used at run time,
// so this one is never packaged.
package javax.microedition.midlet;

public abstract class MIDlet {
    protected MIDlet() {}

    protected abstract void startApp() throws MIDletStateChangeException;

    protected abstract void pauseApp();

    protected abstract void destroyApp(boolean unconditional) throws MIDletStateChangeException;

    public final void notifyDestroyed() {}

    public final String getAppProperty(String key) {
        return null;
    }
}
