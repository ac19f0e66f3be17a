#include "check/EntryPoints.h"

#include "contracts/ExtensionEntryPoints.h"

const std::array<EntryPointShape, 3>& EntryPointShapes() {
    static const std::array<EntryPointShape, 3> shapes{{
        {EntryPoint::Explain, ExplainParamName, L"Explain", 11,
         {{{0, 1, L"value text", InputKind::ValueText},
           {2, 3, L"reserved", InputKind::Reserved},
           {4, 5, L"field bytes", InputKind::FieldBytes}}}, 3, 6,
         {{{8, L"value out", false}, {9, L"display out", false}}}, 2, 7, 10, false,
         L"Explain uses its built-in path"},
        {EntryPoint::Obscure, ObscureParamName, L"Obscure", 11, {{{0, 1, L"value text", InputKind::ValueText}, {2, 3, L"reserved", InputKind::Reserved}}}, 2, 4,
         {{{5, L"digits out", false}}}, 1, -1, 10, true, L"Obscure uses the host's GetObscureText"},
        {EntryPoint::Edit, EditParamName, L"Edit", 3, {}, 0, -1, {{{1, L"value out", true}, {2, L"display out", false}}}, 2,
         -1, 0, false, L"Edit answers status 1"},
    }};
    return shapes;
}

const EntryPointShape& ShapeOf(EntryPoint entryPoint) { return EntryPointShapes()[static_cast<size_t>(entryPoint)]; }
