// Lets QCOMPARE print std::string values when they differ.
#pragma once

#include <QString>
#include <QTest>
#include <string>

namespace QTest {
template <> inline char* toString(const std::string& text) {
    return QTest::toString(QString::fromLatin1(text.data(), qsizetype(text.size())));
}
} // namespace QTest
