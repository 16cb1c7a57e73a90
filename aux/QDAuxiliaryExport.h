#pragma once
// Symbols exported from the QDAuxiliary shared library (built with hidden
// visibility, so only what is marked here is its interface).
#define QDAUX_API __attribute__((visibility("default")))
