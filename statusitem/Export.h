#pragma once

// Marks what libstatusitem.so exports: the classes and functions of its public
// headers. The library is built with hidden visibility, so any other name stays inside
// it. Code built against the headers sees the same marks, which a library of its own
// built with hidden visibility needs in order to link.
#define STATUSITEM_EXPORT __attribute__((visibility("default")))
