#pragma once
// The methods of IParam that the component never calls, Reserved05 to
// Reserved79 as Vantrel_TLB.idl names them, as one list (ParamObject.h
// declares them for every class that implements IParam):
// FOR_EACH_RESERVED_PARAM_METHOD(X) expands X(05) ... X(79).
#define FOR_EACH_RESERVED_PARAM_METHOD(X)                                                                      \
    X(05) X(06) X(07) X(09) X(13) X(14) X(15) X(16) X(18) X(19) X(21) X(23) X(24) X(25) X(27) X(29) X(31) X(32) \
    X(33) X(34) X(35) X(37) X(39) X(41) X(42) X(45) X(46) X(47) X(49) X(51) X(52) X(53) X(55) X(59) X(61) X(63) \
    X(64) X(66) X(67) X(68) X(69) X(70) X(71) X(72) X(73) X(74) X(75) X(76) X(77) X(78) X(79)
