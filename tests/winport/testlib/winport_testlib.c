/* A small library for the loader's tests: one function to find and call.
   Plain C, so that nothing keeps it loaded once the last reference goes. */
#include <stdlib.h>

int winport_testlib_answer(void)
{
    return 42;
}

/* Uses the C library, so that its exports lie within reach of a lookup that
   does not stop at this module. */
void* winport_testlib_allocate(size_t size)
{
    return malloc(size);
}
