// A stand-in for an inquiry library "KWINQ" of another version: it loads, but has no
// xi_list_inquiry.
extern "C" __attribute__((visibility("default"))) short xi_inquiry_version() { return 1; }
