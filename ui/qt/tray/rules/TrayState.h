// The notification-area icon's state and rules on Linux, with no I/O: what the session bus and
// the X server said (events in) becomes what to do with the icon (actions out).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zelvo::qt {

enum class TrayProtocol {
    // An X11 tray manager docks the icon's window; it reports real mouse buttons.
    XEmbed,
    // A host on the session bus (KDE Plasma, GNOME's AppIndicator, the XFCE and LXQt panels,
    // waybar) draws the icon and its exported menu, and calls the item's methods.
    StatusNotifierItem,
};

class TrayState {
public:
    // Each timer runs only while something is on its way; none runs while the icon is idle.
    enum class Timer {
        HostAnswer,   // the watcher's word on its hosts is overdue
        Registration, // the watcher's answer to the item's registration is overdue
        Retry,        // the next try at exporting or registering the item
        Settle,       // an X11 tray that just came has been there long enough to trust
        Grace,        // the icon has been missing long enough to tell the window
    };

    struct Action {
        enum class Kind {
            AskHost,   // ask the watcher whether a host is registered; answer with `token`
            Export,    // put the item on the bus under a name of its own
            Register,  // register the item with the watcher; answer with `token`
            Withdraw,  // take the item off the bus
            Dock,      // dock the icon's window in the X11 tray
            Undock,    // take it out again
            Arm,       // start `timer` for `ms`, replacing a running one
            Disarm,    // stop `timer`
            IconLost,  // no icon is shown any more: a hidden window must come back
            IconStands // an icon is shown again after it was lost
        };
        Kind kind;
        Timer timer = Timer::Grace;
        int ms = 0;
        unsigned token = 0;
        bool operator==(const Action&) const = default;
    };
    using Actions = std::vector<Action>;

    static constexpr int kHostAnswerMs = 3000;
    static constexpr int kRegistrationMs = 3000;
    static constexpr int kFirstRetryMs = 1000;
    static constexpr int kRetries = 5;    // then wait for the watcher or a host to speak again
    static constexpr int kSettleMs = 500; // shorter than the grace: a tray's restart
    static constexpr int kGraceMs = 1000;

    // The window's icon record.
    Actions iconAdded();
    Actions iconDeleted();

    // The StatusNotifierWatcher's bus name: owned (or passed to a new owner), or gone.
    Actions watcherAppeared();
    Actions watcherVanished();
    // The answer to AskHost `token` or its error, the watcher's signals, and the number of
    // host names (org.kde.StatusNotifierHost-*) on the bus.
    Actions hostAnswered(unsigned token, bool registered);
    Actions hostQuestionFailed(unsigned token);
    Actions hostRegistered();
    Actions hostUnregistered();
    // The watcher's IsStatusNotifierHostRegistered changed (Cinnamon's xapp-sn-watcher tells
    // only so, with no signal of its own).
    Actions hostPropertyChanged(bool registered);
    Actions hostNamesCounted(int count);
    // Whether the watcher's owner is KDE's kded, whose hosts (Plasma's shells) own host
    // names: without one, no host shows anything, whatever kded says.
    Actions watcherIsKded(bool kded);

    Actions exported(bool ok);
    // The answer to Register `token`; the watcher's signals naming the item.
    Actions registrationAnswered(unsigned token, bool ok);
    Actions itemRegistered();
    Actions itemUnregistered();

    // The owner of the X11 tray selection; `atStart` for what was found before any event.
    Actions xembedTray(bool present, bool atStart = false);

    Actions timerFired(Timer timer);

    // An icon stands on a live host now: only then may a Hide hide the window.
    bool iconShown() const;
    // Where the icon stands now, if anywhere.
    std::optional<TrayProtocol> placed() const;

private:
    enum class Known { Unknown, No, Yes };
    enum class Item { None, Exporting, Exported };
    // Overdue: asked, and no answer within its time; the call is still pending.
    enum class Registration { None, Asked, Overdue, Confirmed };

    bool statusNotifierHostLive() const;
    bool hostsGoneByName() const;
    bool xembedTrayLive() const;
    bool undecided() const;
    Actions settle(Actions actions);
    void registerItem(Actions& actions);
    void retry(Actions& actions);
    void failRegistration(Actions& actions);

    bool record_ = false;
    bool deleted_ = false;
    Known watcher_ = Known::Unknown;
    Known host_ = Known::Unknown;
    unsigned hostQuestion_ = 0;
    bool askedAgain_ = false; // after an error, once for each watcher
    int hostNames_ = 0;
    // A watcher whose hosts own names: their names tell when the last host went, whatever the
    // watcher says (KDE's kded says a host is registered while no shell runs).
    bool hostNamesSeen_ = false;
    bool watcherIsKded_ = false;
    Item item_ = Item::None;
    Registration registration_ = Registration::None;
    unsigned registrationCall_ = 0; // each Register call's token
    int failures_ = 0;
    bool retrying_ = false;
    bool xembedTray_ = false;
    bool xembedTrusted_ = false;
    bool docked_ = false;
    bool shown_ = false;
    bool lost_ = false; // IconLost was said, and no IconStands since
    bool graceRunning_ = false;
};

} // namespace zelvo::qt
