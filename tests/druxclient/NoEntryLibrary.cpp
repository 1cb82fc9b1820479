// A library that loads but has no class-object entry.
extern "C" __attribute__((visibility("default"))) int noEntryMarker()
{
    return 7;
}
