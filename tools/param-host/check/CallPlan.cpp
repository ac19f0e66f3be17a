#include "check/CallPlan.h"

#include "check/CallInputs.h"

#include <algorithm>

std::vector<PlannedCall> PlanCalls(const EntryExports& exports, const std::vector<int32_t>& paramIds, int editCalls) {
    std::vector<PlannedCall> plan;
    for (const EntryPointShape& shape : EntryPointShapes()) {
        if (exports[static_cast<size_t>(shape.entryPoint)].empty()) continue;
        const size_t cases = CasesFor(shape.entryPoint).size();
        const size_t ids = shape.entryPoint == EntryPoint::Edit
                               ? std::min(paramIds.size(), static_cast<size_t>(std::max(editCalls, 0)))
                               : paramIds.size();
        for (size_t id = 0; id < ids; ++id)
            for (size_t input = 0; input < cases; ++input) plan.push_back({shape.entryPoint, paramIds[id], input});
    }
    return plan;
}
