#pragma once
// A number as the game prints it: a blank (or the minus sign) before, a blank after,
// so that it stands between the texts around it.

#include <QString>
#include <cstdint>

namespace grimbolt {

inline QString number_text(std::int64_t n) {
    return (n < 0 ? QString() : QStringLiteral(" ")) + QString::number(n) + QLatin1Char(' ');
}

}  // namespace grimbolt
