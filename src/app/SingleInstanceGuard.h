#pragma once
// One running copy per user: the first start listens on a local socket named after the
// instance key; a later start asks it to come forward and then ends.
#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

class SingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    // The key of the program: "多重起動チェック1" joined with the user's login name.
    static QString defaultKey();

    explicit SingleInstanceGuard(QString key, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // True when this process is the first: it then listens for later starts. False when
    // another copy answered; that copy has been asked to come forward.
    bool tryBecomePrimary();

signals:
    // A later start asked this copy to show its window.
    void activationRequested();

private:
    QString serverName() const;

    QString key_;
    QLocalServer* server_ = nullptr;
};

// Restores a minimised window, otherwise raises it and gives it the focus.
void bringWindowForward(QWidget* window);
