// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line answers in the language of its environment: the English catalogue
// for LANGUAGE=en, the Chinese source texts for zh_CN. Runs the built program, without a display.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "support/QtPrinters.h"

namespace {

struct Outcome {
    int exitCode = -1;
    QString output; // standard output and error
};

Outcome RunProgram(const char* language, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANGUAGE"), QString::fromLatin1(language));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(VANTOR_BINARY), arguments);
    if (!program.waitForFinished(20000))
        return {};
    return {program.exitCode(), QString::fromUtf8(program.readAll())};
}

} // namespace

TEST(ConsoleLanguage, RefusalAndHelpFollowTheLanguage) {
    const struct {
        const char* language;
        const char* argument;
        int exitCode;
        const char* said;
    } cases[] = {
        {"en", "--bogus", 2, "vantor: unknown option: bogus\n"},
        {"zh_CN", "--bogus", 2, "vantor: 未知选项：bogus\n"},
        {"en", "--help", 0, "Poll without windows"},
        {"zh_CN", "--help", 0, "不开窗口轮询"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + c.argument);
        const Outcome run = RunProgram(c.language, {QString::fromLatin1(c.argument)});
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.output.contains(QString::fromUtf8(c.said))) << run.output.toStdString();
    }
}
