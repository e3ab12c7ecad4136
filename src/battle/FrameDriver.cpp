#include "battle/FrameDriver.h"

#include "battle/frmGame.h"
#include "platform/Dialogs.h"

#include <algorithm>

FrameDriver::FrameDriver(frmGame& game) : game_(game)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &FrameDriver::pass);
    modalListener_ = platform::addModalListener([this](bool open) {
        if (open)
            timer_.stop();
        else if (active_)
            schedule();
    });
}

FrameDriver::~FrameDriver()
{
    platform::removeModalListener(modalListener_);
}

void FrameDriver::start()
{
    active_ = true;
    timer_.start(0);
}

void FrameDriver::stop()
{
    active_ = false;
    timer_.stop();
}

void FrameDriver::pass()
{
    if (!active_ || platform::modalOpen())
        return;
    game_.GameLoopPass();
    if (!game_.Running) {
        stop();
        return;
    }
    schedule();
}

void FrameDriver::schedule()
{
    if (platform::modalOpen())
        return;
    // The next frame is due once more than FrameInterval ms have passed since the last one.
    const auto dueIn = game_.MsUntilNextFrame();
    timer_.start(static_cast<int>(std::clamp<std::int64_t>(dueIn, 1, game_.FrameInterval + 1)));
}
