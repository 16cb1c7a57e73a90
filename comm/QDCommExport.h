#pragma once
// Symbols exported from the QDComm shared library (built with hidden
// visibility, so only what is marked here is its interface).
#define QDCOMM_API __attribute__((visibility("default")))
