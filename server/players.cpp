#include "server/players.h"

#include <QCryptographicHash>
#include <QList>
#include <QRandomGenerator>
#include <array>

namespace grimbolt::server {
namespace {

constexpr int kLongestName = 24;

// Characters that show nothing, or change nothing a reader sees (Unicode's default
// ignorable code points, and the replacement for broken text).
bool ignorable(char32_t c) {
    return c == 0x00AD || c == 0x034F || c == 0x061C || (c >= 0x115F && c <= 0x1160) ||
           (c >= 0x17B4 && c <= 0x17B5) || (c >= 0x180B && c <= 0x180F) ||
           (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x206F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) ||
           c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFFD) ||
           (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A) ||
           (c >= 0xE0000 && c <= 0xE0FFF);
}

bool visible(char32_t c) {
    if (ignorable(c))
        return false;
    switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
        case QChar::Mark_Enclosing:
            return false;
        case QChar::Separator_Space:
            return c == U' ';  // one kind of space; no space that looks like none
        default:
            return c != 0x2800;  // the blank braille pattern
    }
}

}  // namespace

std::optional<QString> player_name(const QString& asked, QString* why) {
    const auto refuse = [&](const char* reason) -> std::optional<QString> {
        if (why != nullptr)
            *why = QString::fromLatin1(reason);
        return std::nullopt;
    };
    if (asked.size() > 4 * kLongestName)
        return refuse("a name has at most 24 characters");
    if (!asked.isValidUtf16())
        return refuse("a name has only printable characters");
    const QString name = asked.normalized(QString::NormalizationForm_C);
    const QList<uint> chars = name.toUcs4();
    if (chars.isEmpty())
        return refuse("a name has at least one character");
    if (chars.size() > kLongestName)
        return refuse("a name has at most 24 characters");
    if (chars.front() == U' ' || chars.back() == U' ')
        return refuse("a name neither begins nor ends with a space");
    int marks = 0;  // in a row: a letter takes two at most, so no name spills over others
    for (qsizetype i = 0; i < chars.size(); ++i) {
        const uint c = chars[i];
        // A lone surrogate read from broken UTF-16 comes out as itself.
        if (c > 0x10FFFF || !visible(char32_t(c)))
            return refuse("a name has only printable characters");
        const bool mark = QChar::category(char32_t(c)) == QChar::Mark_NonSpacing;
        marks = mark ? marks + 1 : 0;
        if (mark && (i == 0 || marks > 2))
            return refuse("a name has only printable characters");
    }
    return name;
}

QString folded(const QString& name) {
    // Compatibility forms are one (ﬁ and fi, Ｆ and F), and so are cases in full (ß and SS).
    // Taken apart before folding, so that İ folds as I with its dot does (i̇).
    return name.normalized(QString::NormalizationForm_KC)
        .toUpper()
        .normalized(QString::NormalizationForm_KD)
        .toCaseFolded()
        .normalized(QString::NormalizationForm_KC);
}

QByteArray new_token() {
    std::array<quint32, 8> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.data()), sizeof words).toHex();
}

QByteArray token_hash(const QByteArray& token) {
    return QCryptographicHash::hash(token, QCryptographicHash::Sha256).toHex();
}

}  // namespace grimbolt::server
