// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/manual_page.h"

namespace quorven {

namespace {

// Text made safe for roff: backslashes printed as such, a line never taken
// for a request, "--" as two minus signs (so an option can be searched for
// and copied).
QString Roff(const char* text) {
    QString out = QString::fromUtf8(text);
    out.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    out.replace(QStringLiteral("--"), QStringLiteral("\\-\\-"));
    if (out.startsWith(QLatin1Char('.')) || out.startsWith(QLatin1Char('\''))) {
        out.prepend(QStringLiteral("\\&"));
    }
    return out;
}

// A program's or an option's name: every hyphen a minus sign, as typed.
QString Name(const char* text) {
    return Roff(text)
        .replace(QStringLiteral("\\-"), QStringLiteral("-"))
        .replace(QLatin1Char('-'), QStringLiteral("\\-"));
}

// An argument of a macro line, quoted.
QString Argument(QString out) {
    out.replace(QLatin1Char('"'), QStringLiteral("\\(dq"));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// One option or switch: its name in bold, its value in roman, its text below.
void AppendRows(QString& out, std::span<const HelpRow> rows) {
    for (const HelpRow& row : rows) {
        out += QStringLiteral(".TP\n.BR ") + Argument(Name(row.name)) + QLatin1Char(' ') +
               Argument(Roff(row.value)) + QLatin1Char('\n') + Roff(row.text) + QLatin1Char('\n');
    }
}

} // namespace

QString ManualPage(const ProgramHelp& help) {
    const QString program = Name(help.program);
    const QString title = QString::fromUtf8(help.program).toUpper();
    QString out = QStringLiteral(".TH %1 1 \"\" \"%2 %3\" \"User Commands\"\n")
                      .arg(title, program, ProgramVersion());
    out += QStringLiteral(".SH NAME\n%1 \\- %2\n").arg(program, Roff(help.purpose));
    out += QStringLiteral(".SH SYNOPSIS\n.B %1\n%2\n").arg(program, Roff(help.usage));
    out += QStringLiteral(".SH DESCRIPTION\n%1\n").arg(Roff(help.purpose));
    if (*help.footer != '\0') {
        out += QStringLiteral(".PP\n%1\n").arg(Roff(help.footer));
    }
    out += QStringLiteral(".SH OPTIONS\n");
    AppendRows(out, help.options);
    AppendRows(out, CommonHelpRows());
    if (!help.switches.empty()) {
        out += QStringLiteral(".SH SWITCHES\n%1\n").arg(Roff(help.switchesTitle));
        AppendRows(out, help.switches);
    }
    return out;
}

} // namespace quorven
