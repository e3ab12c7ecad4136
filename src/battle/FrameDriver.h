#pragma once
// Runs the battle's loop passes off a timer: a pass is due when the next frame
// is, so an idle battle sleeps between frames instead of spinning. While a modal
// box is open no pass runs.

#include <QObject>
#include <QTimer>

class frmGame;

class FrameDriver : public QObject {
    Q_OBJECT

public:
    explicit FrameDriver(frmGame& game);
    ~FrameDriver() override;

    void start();
    void stop();
    bool active() const { return active_; }

private:
    void pass();
    void schedule();

    frmGame& game_;
    QTimer timer_;
    int modalListener_ = 0;
    bool active_ = false;
};
