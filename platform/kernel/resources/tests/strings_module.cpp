// The code of the test module whose string tables the tests read: one export, so that the
// module is an ordinary library with resources rather than a resource-only one.
extern "C" int StringsTest_Answer() {
    return 42;
}
