#pragma once

#include <QList>
#include <QStringList>

#include "data/Parameter.h"

namespace xhook::host {

// What is wrong with a procedure's parameters as a catalog declares them (`declared`), held to
// those that the component passes (`expected`), one text per problem; empty when they agree.
// They agree when there are as many, in the same order, each with the same name (without regard
// to case or a Transact-SQL '@'), the same direction (an output may be declared input-output, as
// Transact-SQL's OUTPUT parameters are), a type of the same kind (a character type for a text, an
// integer of 32 or 64 bits for a bigint) and, where the catalog keeps one, a length at least as
// long.
QStringList procedureProblems(const QList<data::DeclaredParameter>& declared,
                              const QList<data::DeclaredParameter>& expected);

}  // namespace xhook::host
