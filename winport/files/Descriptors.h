#pragma once
// The CRT's descriptor table: which descriptors own a winport HANDLE, and
// whether they were opened in text mode.
namespace winport {
namespace descriptors {

// Whether `fd` took a handle with _O_TEXT, or without a mode (the CRT's
// default mode is text).
bool isText(int fd);

} // namespace descriptors
} // namespace winport
