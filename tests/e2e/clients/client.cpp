// A stand-in for the game client, built with and without a manifest: only
// its headers and resources are ever read.
int main() { return 0; }
