// Where a test program finds the checkout's files: the source folder and the test data folder.
// Their paths are compiled into one small library of the build folder (source_paths.cpp.in)
// rather than into every test, so a test compiles to the same object in every checkout and the
// compiler cache shares it between a working copy and a fresh clone.
#pragma once

namespace kestrova::test {

const char* SourceDir();
const char* TestDataDir();

}  // namespace kestrova::test

#define KESTROVA_SOURCE_DIR (::kestrova::test::SourceDir())
#define KESTROVA_TEST_DATA (::kestrova::test::TestDataDir())
