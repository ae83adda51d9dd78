// The code of the test module whose dialog templates the tests read.
extern "C" int DialogsTest_Answer() {
    return 7;
}
