#include "ui/qt/tray/rules/TrayState.h"

namespace zelvo::qt {
namespace {

using Kind = TrayState::Action::Kind;
using Timer = TrayState::Timer;

TrayState::Action Arm(Timer timer, int ms) {
    return {Kind::Arm, timer, ms, 0};
}

TrayState::Action Disarm(Timer timer) {
    return {Kind::Disarm, timer, 0, 0};
}

} // namespace

bool TrayState::hostsGoneByName() const {
    return watcher_ == Known::Yes && (hostNamesSeen_ || watcherIsKded_) && hostNames_ == 0;
}

bool TrayState::statusNotifierHostLive() const {
    return watcher_ == Known::Yes && host_ == Known::Yes && !hostsGoneByName();
}

bool TrayState::xembedTrayLive() const {
    // xembedsniproxy keeps an X11 tray beside a watcher whose hosts are gone, and passes its
    // icons on to them: while they are gone, that tray shows nothing.
    return xembedTray_ && xembedTrusted_ && !hostsGoneByName();
}

bool TrayState::undecided() const {
    // Until the watcher has spoken, a desktop with both kinds would get an X11 icon that
    // moves a moment later.
    return watcher_ == Known::Unknown || (watcher_ == Known::Yes && host_ == Known::Unknown);
}

bool TrayState::iconShown() const {
    if (!record_ || deleted_) {
        return false;
    }
    return (statusNotifierHostLive() && registration_ == Registration::Confirmed) ||
           (docked_ && xembedTrayLive());
}

std::optional<TrayProtocol> TrayState::placed() const {
    if (!record_ || deleted_) {
        return std::nullopt;
    }
    if (statusNotifierHostLive() && registration_ == Registration::Confirmed) {
        return TrayProtocol::StatusNotifierItem;
    }
    if (docked_) {
        return TrayProtocol::XEmbed;
    }
    return std::nullopt;
}

TrayState::Actions TrayState::settle(Actions actions) {
    if (!record_ || deleted_) {
        return actions;
    }
    // The item stands on the bus while a watcher is there, registered once with it: a host
    // that comes later finds it in the watcher's list, with no churn.
    const bool gaveUp = failures_ > kRetries; // until a new watcher or host speaks
    if (watcher_ == Known::Yes && !retrying_ && !gaveUp) {
        // Registered only once the watcher has answered or spoken: one that has just taken
        // its name may still be setting itself up. LXQt's panel ties its list to its icons
        // only after, and an item registered meanwhile stays listed and is never drawn.
        if (item_ == Item::None) {
            item_ = Item::Exporting;
            actions.push_back({Kind::Export});
        } else if (item_ == Item::Exported && registration_ == Registration::None &&
                   host_ != Known::Unknown) {
            registerItem(actions);
        }
    }
    const bool itemShown = statusNotifierHostLive() && registration_ == Registration::Confirmed;
    // The X11 icon stays until the item is confirmed on a live host, and serves whenever the
    // item cannot stand.
    const bool itemFailing =
        statusNotifierHostLive() && (failures_ > 0 || registration_ == Registration::Overdue);
    if (docked_ && (!xembedTrayLive() || itemShown)) {
        docked_ = false;
        actions.push_back({Kind::Undock});
    } else if (!docked_ && !undecided() && xembedTrayLive() &&
               (!statusNotifierHostLive() || itemFailing) && !itemShown) {
        docked_ = true;
        actions.push_back({Kind::Dock});
    }

    const bool shown = iconShown();
    if (shown && !shown_) {
        if (graceRunning_) {
            graceRunning_ = false;
            actions.push_back(Disarm(Timer::Grace));
        }
        if (lost_) {
            lost_ = false;
            actions.push_back({Kind::IconStands});
        }
    } else if (!shown && shown_) {
        graceRunning_ = true;
        actions.push_back(Arm(Timer::Grace, kGraceMs));
    }
    shown_ = shown;
    return actions;
}

void TrayState::registerItem(Actions& actions) {
    registration_ = Registration::Asked;
    actions.push_back({Kind::Register, Timer::Registration, 0, ++registrationCall_});
    actions.push_back(Arm(Timer::Registration, kRegistrationMs));
}

void TrayState::retry(Actions& actions) {
    ++failures_;
    if (failures_ <= kRetries) {
        retrying_ = true;
        actions.push_back(Arm(Timer::Retry, kFirstRetryMs << (failures_ - 1)));
    } else {
        retrying_ = false;
    }
}

void TrayState::failRegistration(Actions& actions) {
    registration_ = Registration::None;
    actions.push_back(Disarm(Timer::Registration));
    retry(actions);
}

TrayState::Actions TrayState::iconAdded() {
    if (deleted_) {
        return {};
    }
    record_ = true;
    return settle({});
}

TrayState::Actions TrayState::iconDeleted() {
    if (deleted_) {
        return {};
    }
    deleted_ = true;
    Actions actions;
    if (item_ != Item::None) {
        item_ = Item::None;
        actions.push_back({Kind::Withdraw});
    }
    if (docked_) {
        docked_ = false;
        actions.push_back({Kind::Undock});
    }
    for (Timer timer :
         {Timer::HostAnswer, Timer::Registration, Timer::Retry, Timer::Settle, Timer::Grace}) {
        actions.push_back(Disarm(timer));
    }
    return actions;
}

TrayState::Actions TrayState::watcherAppeared() {
    if (deleted_) {
        return {};
    }
    watcher_ = Known::Yes;
    registration_ = Registration::None;
    host_ = Known::Unknown;
    hostNamesSeen_ = hostNames_ > 0;
    askedAgain_ = false;
    failures_ = 0;
    retrying_ = false;
    Actions actions{Disarm(Timer::Registration),
                    Disarm(Timer::Retry),
                    {Kind::AskHost, Timer::HostAnswer, 0, ++hostQuestion_},
                    Arm(Timer::HostAnswer, kHostAnswerMs)};
    return settle(std::move(actions));
}

TrayState::Actions TrayState::watcherVanished() {
    watcher_ = Known::No;
    ++hostQuestion_; // answers still on their way are stale
    registration_ = Registration::None;
    host_ = Known::No;
    failures_ = 0;
    retrying_ = false;
    Actions actions{Disarm(Timer::HostAnswer), Disarm(Timer::Registration), Disarm(Timer::Retry)};
    // The item leaves the bus with its watcher, and the next watcher gets it afresh.
    if (item_ != Item::None) {
        item_ = Item::None;
        actions.push_back({Kind::Withdraw});
    }
    return settle(std::move(actions));
}

TrayState::Actions TrayState::hostAnswered(unsigned token, bool registered) {
    if (token != hostQuestion_ || watcher_ != Known::Yes) {
        return {};
    }
    ++hostQuestion_; // answered: a late timer finds nothing to do
    host_ = registered ? Known::Yes : Known::No;
    return settle({Disarm(Timer::HostAnswer)});
}

TrayState::Actions TrayState::hostQuestionFailed(unsigned token) {
    if (token != hostQuestion_ || watcher_ != Known::Yes || deleted_) {
        return {};
    }
    // LXQt's panel serves its watcher's object a moment after it takes the name: asked once
    // more before the error counts as no host. The answer's timer keeps running.
    if (!askedAgain_) {
        askedAgain_ = true;
        return {{Kind::AskHost, Timer::HostAnswer, 0, ++hostQuestion_}};
    }
    return hostAnswered(token, false);
}

TrayState::Actions TrayState::hostRegistered() {
    if (watcher_ != Known::Yes) {
        return {};
    }
    ++hostQuestion_; // the signal is newer than any answer on its way
    host_ = Known::Yes;
    Actions actions{Disarm(Timer::HostAnswer)};
    // A host that comes gives a refused item a fresh start.
    if (failures_ > 0 && registration_ == Registration::None) {
        failures_ = 0;
        retrying_ = false;
        actions.push_back(Disarm(Timer::Retry));
    }
    return settle(std::move(actions));
}

TrayState::Actions TrayState::hostUnregistered() {
    if (watcher_ != Known::Yes || deleted_) {
        return {};
    }
    // The icon counts as gone at once; another host may still be registered, and the watcher
    // knows. Unknown rather than No: a desktop with an X11 tray beside gets no icon that moves
    // for the moment the answer takes.
    host_ = Known::Unknown;
    return settle({{Kind::AskHost, Timer::HostAnswer, 0, ++hostQuestion_},
                   Arm(Timer::HostAnswer, kHostAnswerMs)});
}

TrayState::Actions TrayState::hostPropertyChanged(bool registered) {
    if (watcher_ != Known::Yes || deleted_) {
        return {};
    }
    if (registered) {
        return hostRegistered();
    }
    ++hostQuestion_; // newer than any answer on its way
    host_ = Known::No;
    return settle({Disarm(Timer::HostAnswer)});
}

TrayState::Actions TrayState::hostNamesCounted(int count) {
    hostNames_ = count;
    if (count > 0 && watcher_ == Known::Yes) {
        hostNamesSeen_ = true;
    }
    return settle({});
}

TrayState::Actions TrayState::watcherIsKded(bool kded) {
    watcherIsKded_ = kded;
    return settle({});
}

TrayState::Actions TrayState::exported(bool ok) {
    if (item_ != Item::Exporting || deleted_) {
        return {};
    }
    Actions actions;
    if (ok) {
        item_ = Item::Exported;
    } else {
        item_ = Item::None;
        retry(actions);
    }
    return settle(std::move(actions));
}

TrayState::Actions TrayState::registrationAnswered(unsigned token, bool ok) {
    // Only the answer to the call still pending counts: an item confirmed, dropped or asked
    // for again since has made earlier answers stale.
    const bool pending =
        registration_ == Registration::Asked || registration_ == Registration::Overdue;
    if (token != registrationCall_ || !pending || item_ != Item::Exported || deleted_) {
        return {};
    }
    Actions actions{Disarm(Timer::Registration)};
    if (ok) {
        // Also an answer that came after its timer: the host draws the icon.
        registration_ = Registration::Confirmed;
        failures_ = 0;
        if (retrying_) {
            retrying_ = false;
            actions.push_back(Disarm(Timer::Retry));
        }
    } else {
        failRegistration(actions);
    }
    return settle(std::move(actions));
}

TrayState::Actions TrayState::itemRegistered() {
    if (watcher_ != Known::Yes || item_ != Item::Exported ||
        registration_ == Registration::Confirmed || deleted_) {
        return {};
    }
    registration_ = Registration::Confirmed;
    failures_ = 0;
    retrying_ = false;
    return settle({Disarm(Timer::Registration), Disarm(Timer::Retry)});
}

TrayState::Actions TrayState::itemUnregistered() {
    if (registration_ != Registration::Confirmed || deleted_) {
        return {};
    }
    // Dropped by the watcher: asked again after a pause, never in a tight loop.
    Actions actions;
    failRegistration(actions);
    return settle(std::move(actions));
}

TrayState::Actions TrayState::xembedTray(bool present, bool atStart) {
    Actions actions;
    if (deleted_) {
        return actions;
    }
    if (present && !xembedTray_) {
        xembedTray_ = true;
        // A panel that offers both kinds starts its X11 tray a moment before its
        // StatusNotifierItem host: a tray that comes later counts after a pause.
        xembedTrusted_ = atStart;
        if (!atStart) {
            actions.push_back(Arm(Timer::Settle, kSettleMs));
        }
    } else if (!present && xembedTray_) {
        xembedTray_ = false;
        xembedTrusted_ = false;
        actions.push_back(Disarm(Timer::Settle));
    }
    return settle(std::move(actions));
}

TrayState::Actions TrayState::timerFired(Timer timer) {
    Actions actions;
    switch (timer) {
    case Timer::HostAnswer:
        // A watcher that does not answer has no host to offer for now; its signals still count.
        if (watcher_ == Known::Yes && host_ == Known::Unknown) {
            host_ = Known::No; // a late answer still counts
        }
        break;
    case Timer::Registration:
        if (registration_ == Registration::Asked) {
            // Meanwhile the icon counts as missing, and the call stays pending: a late answer
            // still confirms it, and a refusal or the bus's own timeout brings a retry. Never
            // asked again before: GNOME's AppIndicator extension answers only once it has
            // built the icon, and rebuilds it from scratch for each further call.
            registration_ = Registration::Overdue;
        }
        break;
    case Timer::Retry:
        retrying_ = false;
        break;
    case Timer::Settle:
        xembedTrusted_ = xembedTray_;
        break;
    case Timer::Grace:
        graceRunning_ = false;
        if (!iconShown() && !lost_ && record_ && !deleted_) {
            lost_ = true;
            actions.push_back({Kind::IconLost});
        }
        break;
    }
    return settle(std::move(actions));
}

} // namespace zelvo::qt
