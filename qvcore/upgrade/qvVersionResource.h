// The library's version resource: the description and file version that a module's
// version resource holds, compiled into the library from the one version header.
#pragma once

struct qvVersionResource {
    const char* fileDescription;
    const char* fileVersion;
};

// The library's own resource; nullptr when it cannot be read (the build gave no version).
const qvVersionResource* qvReadVersionResource();

// x_dll_version's work on a given resource; nullptr gives the fallback texts.
void qvCopyDllVersion(const qvVersionResource* resource, char* name, int nameSize, char* version, int versionSize);
