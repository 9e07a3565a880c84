// BusyIndicator: the wait animation over the main window (ActiveShowAvi / DeactiveShowAvi).
//
// A translucent layer with "Aguarde..." and a moving bar that covers its parent while at least
// one caller holds it (calls nest) and swallows input meanwhile. Server calls run on the user-
// interface thread, so showing it paints at once instead of waiting for the event loop. The
// parent owns it (Qt parenting).
#pragma once

#include <QWidget>

namespace lembrete {

class BusyIndicator : public QWidget {
    Q_OBJECT

  public:
    explicit BusyIndicator(QWidget* parent);

    void begin();
    void end();
    bool active() const { return depth_ > 0; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    int depth_ = 0;
    int phase_ = 0;
    int timer_ = 0;
};

}  // namespace lembrete
