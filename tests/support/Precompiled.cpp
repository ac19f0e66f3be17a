// Compiles the test programs' common headers once (see tests/CMakeLists.txt,
// test_precompiled): Windows' and GoogleTest's headers are most of the
// compile time of each test file.
