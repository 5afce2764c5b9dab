/* A small program for the signature tests: signed at test time, then changed. */
int main(void) { return 0; }
