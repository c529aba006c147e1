#include "server/players.h"

#include <QCryptographicHash>
#include <QList>
#include <QRandomGenerator>
#include <array>

namespace grimbolt::server {
namespace {

constexpr int kLongestName = 24;

bool visible(char32_t c) {
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
            // Characters that show nothing though Unicode calls them letters or symbols.
            return c != 0x3164 && c != 0x115F && c != 0x1160 && c != 0xFFA0 && c != 0x2800;
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
    return name.normalized(QString::NormalizationForm_C).toCaseFolded();
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
