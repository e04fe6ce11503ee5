vantor_add_test(session_tests
    SOURCES SessionReceiveTest.cpp SessionCycleTest.cpp
    LIBS vantor_modbus vantor_qt_test_main)
