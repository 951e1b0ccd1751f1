// The product's version, shared by the resources of its programs.
#pragma once
#define KELVANE_VERSION_NUMBERS 1,1,124,1
#define KELVANE_VERSION_TEXT "1.1.124.1"
