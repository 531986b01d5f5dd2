// Compile-time stand-in for the MIDP exception of the same name; never packaged.
package javax.microedition.midlet;

public class MIDletStateChangeException extends Exception {
    public MIDletStateChangeException() {}

    public MIDletStateChangeException(String message) {
        super(message);
    }
}
