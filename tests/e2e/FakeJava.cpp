// A stand-in for java.exe in the detection scenarios: only its version resource matters.
int wmain() { return 0; }
