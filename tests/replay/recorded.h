#pragma once
// The recorded game the proof's and the server's tests start from, and the forger's
// tool: one of its lines changed.

#include <gtest/gtest.h>

#include <QFile>
#include <string>

namespace grimbolt {

inline std::string recorded_game() {
    QFile file(QStringLiteral(GRIMBOLT_REPLAYS "/recorded_game.script"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll().toStdString();
}

// The text with the first line that starts with `from` replaced by `to` (the line
// removed when `to` is empty).
inline std::string with(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find('\n' + from);
    EXPECT_NE(at, std::string::npos) << from;
    const std::size_t end = text.find('\n', at + 1);
    text.replace(at + 1, end - at, to.empty() ? "" : to + '\n');
    return text;
}

}  // namespace grimbolt
