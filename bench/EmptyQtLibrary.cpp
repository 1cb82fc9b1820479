// Nothing but the Qt libraries it links: the cost of loading any Qt plug-in.
extern "C" __attribute__((visibility("default"))) int emptyQtLibrary()
{
    return 0;
}
