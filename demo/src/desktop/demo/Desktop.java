// The demo desktop program: prints its arguments, one a line.
package demo;

public final class Desktop {
    public static void main(String[] args) {
        System.out.println("Hello from the Tessaly Corvalo demo; arguments:");
        for (String arg : args) System.out.println("  " + arg);
    }
}
