#pragma once
// Answers every message box the view shows while it lives, as a person
// pressing its default button would, and keeps what each said. A box
// nobody expected cannot hang a test.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

namespace rt::test {

class BoxWatcher {
public:
    struct Seen {
        std::string title;
        std::string text;
    };

    BoxWatcher() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            m_seen.push_back({box->windowTitle().toStdString(), box->text().toStdString()});
            if (QPushButton* button = box->defaultButton())
                button->click();
            else
                box->reject();
        });
        m_timer.start(20);
    }

    const std::vector<Seen>& seen() const { return m_seen; }

private:
    QTimer m_timer;
    std::vector<Seen> m_seen;
};

} // namespace rt::test
