#pragma once
// What the output tests share: answering a modal window while it is shown, and reading PDF
// files back with poppler's tools (page count, text, the first word's position).
#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace outputtest {

// Runs each queued action once, on the first shown top-level window of its name, from a timer
// of the test's own; an action that runs a nested event loop is not entered twice.
class DialogDriver {
public:
    DialogDriver() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
    }
    void whenShown(const QString& name, std::function<void(QWidget*)> action) {
        queue_.append({name, std::move(action)});
        timer_.start();
    }
    bool idle() const { return queue_.isEmpty(); }
    // Forgets actions whose window was rightly never shown.
    void clear() { queue_.clear(); }

private:
    void poll() {
        if (busy_ || queue_.isEmpty())
            return;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == queue_.first().first && w->isVisible()) {
                auto action = queue_.takeFirst().second;
                busy_ = true;
                action(w);
                busy_ = false;
                return;
            }
        }
    }
    QTimer timer_;
    QList<QPair<QString, std::function<void(QWidget*)>>> queue_;
    bool busy_ = false;
};

inline QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The page count pdfinfo reports, -1 when it cannot read the file.
inline int pdfPages(const QString& file) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run("pdfinfo", {file}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

inline QString pdfText(const QString& file) {
    return run("pdftotext", {file, "-"}).simplified();
}

struct WordBox {
    QString text;
    double x = -1;
    double y = -1;
};

// The first word of the first page with its top-left corner in points from the paper's edge.
inline WordBox firstWord(const QString& file) {
    const QString html = run("pdftotext", {"-bbox", "-f", "1", "-l", "1", file, "-"});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>"
                                          "([^<]*)</word>"))
            .match(html);
    if (!m.hasMatch())
        return {};
    return {m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()};
}

} // namespace outputtest
