#include "host/lib/ProcedureContract.h"

namespace xhook::host {

namespace {

using namespace data;

QString plainName(QString name) {
    if (name.startsWith('@')) name.remove(0, 1);
    return name;
}

bool isOutput(int direction) {
    return direction == adParamOutput || direction == adParamInputOutput;
}

QString directionText(int direction) {
    switch (direction) {
        case adParamInput:
            return QStringLiteral("an input");
        case adParamOutput:
            return QStringLiteral("an output");
        case adParamInputOutput:
            return QStringLiteral("an input and output");
        default:
            return QStringLiteral("of no known direction");
    }
}

bool sameKind(int declared, int expected) {
    if (expected == adVarChar) return declared == adVarChar;
    if (expected == adBigInt) return declared == adBigInt || declared == adInteger;
    return declared == expected;
}

QStringList problemsOf(int position, const DeclaredParameter& declared,
                       const DeclaredParameter& expected) {
    QStringList problems;
    const QString which = QStringLiteral("parameter %1 %2").arg(position).arg(declared.name);
    if (plainName(declared.name).compare(expected.name, Qt::CaseInsensitive) != 0)
        problems << QStringLiteral("%1 should be named %2").arg(which, expected.name);
    const bool directionAgrees = isOutput(expected.direction) ? isOutput(declared.direction)
                                                              : declared.direction == adParamInput;
    if (!directionAgrees)
        problems << QStringLiteral("%1 is %2, the component passes it as %3")
                        .arg(which, directionText(declared.direction),
                             directionText(expected.direction));
    if (!sameKind(declared.type, expected.type))
        problems << QStringLiteral("%1 is of type %2, the component passes a %3")
                        .arg(which, declared.typeName, expected.typeName);
    else if (expected.type == adVarChar && declared.size > 0 && declared.size < expected.size)
        problems << QStringLiteral("%1 holds %2 characters, the component passes up to %3")
                        .arg(which)
                        .arg(declared.size)
                        .arg(expected.size);
    return problems;
}

}  // namespace

QStringList procedureProblems(const QList<DeclaredParameter>& declared,
                              const QList<DeclaredParameter>& expected) {
    QStringList problems;
    if (declared.size() != expected.size())
        problems << QStringLiteral("it has %1 parameters, the component passes %2")
                        .arg(declared.size())
                        .arg(expected.size());
    for (qsizetype i = 0; i < qMin(declared.size(), expected.size()); ++i)
        problems << problemsOf(int(i + 1), declared[i], expected[i]);
    return problems;
}

}  // namespace xhook::host
