/* A program that crashes at once: a write through a null pointer. */
int main(void)
{
    volatile int* nowhere = (volatile int*)0;
    *nowhere = 1;
    return 0;
}
