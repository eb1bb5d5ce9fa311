// type_numbers.hpp: visiting the type numbers of a type definition with the fields they resolve to.
#pragma once

#include "orvik.h"

namespace orvik {

// Calls visit(number, resolvedField) for every type number the definition's payload holds,
// so both decoders resolve the same fields in the same way.
template <typename Visit> void forEachTypeNumber(IeTypeDef* type, Visit&& visit)
{
    if (!type->payload.any)
        return;
    switch (type->letter) {
    case 'O':
    case 'P':
        visit(type->payload.pointer->target, type->payload.pointer->resolvedTarget);
        break;
    case 'S':
    case 'U':
        for (IeRecordMember* member = type->payload.record->members; member; member = member->next)
            visit(member->type, member->resolvedType);
        break;
    case 'T':
        visit(type->payload.alias->type, type->payload.alias->resolvedType);
        break;
    case 'Z':
        visit(type->payload.array->elementType, type->payload.array->resolvedElement);
        break;
    case 'g':
        visit(type->payload.bitField->baseType, type->payload.bitField->resolvedBase);
        break;
    case 'x':
        visit(type->payload.function->returnType, type->payload.function->resolvedReturn);
        for (IeFunctionParam* param = type->payload.function->params; param; param = param->next)
            visit(param->type, param->resolvedType);
        break;
    default:
        break;
    }
}

} // namespace orvik
