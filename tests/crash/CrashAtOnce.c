// A test program that crashes: an access violation nobody handles.
int main(void) {
    volatile int* volatile nowhere = 0;
    *nowhere = 1;
    return 0;
}
