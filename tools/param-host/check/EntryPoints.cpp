#include "check/EntryPoints.h"

#include "contracts/ExtensionEntryPoints.h"

const std::array<EntryPointShape, 3>& EntryPointShapes() {
    static const std::array<EntryPointShape, 3> shapes{{
        {.entryPoint = EntryPoint::Explain,
         .name = ExplainParamName,
         .operation = L"Explain",
         .argumentCount = 11,
         .inputs = {{{0, 1, L"value text", InputKind::ValueText},
                     {2, 3, L"reserved", InputKind::Reserved},
                     {4, 5, L"field bytes", InputKind::FieldBytes}}},
         .inputCount = 3,
         .paramIdIndex = 6,
         .outputs = {{{8, L"value out", false}, {9, L"display out", false}}},
         .outputCount = 2,
         .codeIndex = 7,
         .paramIndex = 10,
         .writesDigits = false,
         .withoutResult = L"Explain uses its built-in path"},
        {.entryPoint = EntryPoint::Obscure,
         .name = ObscureParamName,
         .operation = L"Obscure",
         .argumentCount = 11,
         .inputs = {{{0, 1, L"value text", InputKind::ValueText}, {2, 3, L"reserved", InputKind::Reserved}}},
         .inputCount = 2,
         .paramIdIndex = 4,
         .outputs = {{{5, L"digits out", false}}},
         .outputCount = 1,
         .codeIndex = -1,
         .paramIndex = 10,
         .writesDigits = true,
         .withoutResult = L"Obscure uses the host's GetObscureText"},
        {.entryPoint = EntryPoint::Edit,
         .name = EditParamName,
         .operation = L"Edit",
         .argumentCount = 3,
         .inputs = {},
         .inputCount = 0,
         .paramIdIndex = -1,
         .outputs = {{{1, L"value out", true}, {2, L"display out", false}}},
         .outputCount = 2,
         .codeIndex = -1,
         .paramIndex = 0,
         .writesDigits = false,
         .withoutResult = L"Edit answers status 1"},
    }};
    return shapes;
}

const EntryPointShape& ShapeOf(EntryPoint entryPoint) { return EntryPointShapes()[static_cast<size_t>(entryPoint)]; }
