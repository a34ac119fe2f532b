#include "ui/qt/tray/rules/TrayState.h"

#include <gtest/gtest.h>

#include <map>

using zelvo::qt::TrayProtocol;
using zelvo::qt::TrayState;
using Kind = TrayState::Action::Kind;
using Timer = TrayState::Timer;

namespace {

// Carries out the actions as the I/O layer would, on a clock of its own, with a window that
// Hide hides only while an icon is shown and that the lost icon brings back minimised.
class Tray {
public:
    TrayState state;
    std::map<Timer, int> due; // armed timers and when they fire
    int now = 0;
    bool docked = false;
    bool exported = false;
    int exports = 0;
    int registrations = 0;
    unsigned lastRegistration = 0;
    unsigned lastQuestion = 0;
    int lost = 0;
    int stands = 0;
    bool hidden = false;
    bool minimised = false;

    void apply(const TrayState::Actions& actions) {
        for (const auto& action : actions) {
            switch (action.kind) {
            case Kind::AskHost:
                lastQuestion = action.token;
                break;
            case Kind::Export:
                ++exports;
                break;
            case Kind::Register:
                ++registrations;
                lastRegistration = action.token;
                break;
            case Kind::Withdraw:
                exported = false;
                break;
            case Kind::Dock:
                EXPECT_FALSE(docked);
                docked = true;
                break;
            case Kind::Undock:
                EXPECT_TRUE(docked);
                docked = false;
                break;
            case Kind::Arm:
                due[action.timer] = now + action.ms;
                break;
            case Kind::Disarm:
                due.erase(action.timer);
                break;
            case Kind::IconLost:
                ++lost;
                if (hidden) {
                    hidden = false;
                    minimised = true;
                }
                break;
            case Kind::IconStands:
                ++stands;
                break;
            }
        }
    }

    // Lets `ms` pass, firing the timers that fall due meanwhile in their order.
    void wait(int ms) {
        const int until = now + ms;
        while (!due.empty()) {
            auto next = due.begin();
            for (auto it = due.begin(); it != due.end(); ++it) {
                if (it->second < next->second) {
                    next = it;
                }
            }
            if (next->second > until) {
                break;
            }
            const Timer timer = next->first;
            now = next->second;
            due.erase(next);
            apply(state.timerFired(timer));
        }
        now = until;
    }

    void hide() {
        hidden = state.iconShown();
        minimised = !hidden;
    }

    // The rule that matters: no window stays hidden without an icon for 2 s.
    void expectNeverStranded() {
        wait(2000);
        if (!state.iconShown()) {
            EXPECT_FALSE(hidden) << "hidden with no icon at " << now << " ms";
        }
    }

    // A watcher with a host, the item exported and its registration asked for.
    void registerOnHost(bool x11Tray = false) {
        apply(state.xembedTray(x11Tray, true));
        apply(state.iconAdded());
        apply(state.watcherAppeared());
        apply(state.hostAnswered(lastQuestion, true));
        apply(state.exported(true));
    }
    // A desktop that answers promptly: the same, and the item confirmed.
    void startOnHost(bool x11Tray = false) {
        registerOnHost(x11Tray);
        apply(state.registrationAnswered(lastRegistration, true));
    }
};

} // namespace

TEST(TrayState, PlacesTheIconOnceTheDesktopHasSpoken) {
    { // trayer alone: docked at once, shown, nothing left running
        Tray t;
        t.apply(t.state.xembedTray(true, true));
        t.apply(t.state.iconAdded());
        EXPECT_FALSE(t.docked) << "docked before the bus said whether a watcher is there";
        t.apply(t.state.watcherVanished());
        EXPECT_TRUE(t.docked);
        EXPECT_EQ(t.state.placed(), TrayProtocol::XEmbed);
        EXPECT_TRUE(t.due.empty());
    }
    { // a panel with both kinds: the item only, never an X11 icon that moves a moment later
        Tray t;
        t.startOnHost(true);
        EXPECT_FALSE(t.docked);
        EXPECT_EQ(t.exports, 1);
        EXPECT_EQ(t.registrations, 1);
        EXPECT_EQ(t.state.placed(), TrayProtocol::StatusNotifierItem);
        EXPECT_TRUE(t.due.empty()) << "a timer runs while idle";
    }
    { // the watcher's signal confirms before its answer: one registration, one icon
        Tray t;
        t.apply(t.state.iconAdded());
        t.apply(t.state.watcherAppeared());
        t.apply(t.state.hostRegistered());
        t.apply(t.state.exported(true));
        t.apply(t.state.itemRegistered());
        t.apply(t.state.registrationAnswered(t.lastRegistration, true));
        t.apply(t.state.hostAnswered(t.lastQuestion, true)); // stale: the signal was newer
        EXPECT_TRUE(t.state.iconShown());
        EXPECT_EQ(t.registrations, 1);
        EXPECT_TRUE(t.due.empty());
    }
    { // a watcher that has just taken its name gets the item only once it has answered; an
      // error at once is asked again (LXQt's panel serves its object a moment after its name)
        Tray t;
        t.apply(t.state.iconAdded());
        t.apply(t.state.watcherAppeared());
        t.apply(t.state.exported(true));
        const unsigned first = t.lastQuestion;
        t.apply(t.state.hostQuestionFailed(first));
        EXPECT_EQ(t.registrations, 0) << "registered with a watcher still setting itself up";
        ASSERT_NE(t.lastQuestion, first);
        t.apply(t.state.hostQuestionFailed(t.lastQuestion));
        EXPECT_EQ(t.registrations, 1) << "a watcher with no answer keeps the item for a host";
    }
    { // a watcher that never answers (kded loading its modules): the X11 tray serves meanwhile
        Tray t;
        t.apply(t.state.xembedTray(true, true));
        t.apply(t.state.iconAdded());
        t.apply(t.state.watcherAppeared());
        t.wait(TrayState::kHostAnswerMs);
        EXPECT_TRUE(t.docked);
        EXPECT_TRUE(t.state.iconShown());
        t.apply(t.state.hostAnswered(t.lastQuestion, true)); // late, still counts
        t.apply(t.state.exported(true));
        EXPECT_TRUE(t.docked) << "the old icon goes before the new one is confirmed";
        t.apply(t.state.registrationAnswered(t.lastRegistration, true));
        EXPECT_FALSE(t.docked);
        EXPECT_EQ(t.state.placed(), TrayProtocol::StatusNotifierItem);
    }
}

TEST(TrayState, ARefusedOrSilentWatcherNeverStrandsTheWindow) {
    { // moved to a new host that refuses: the X11 icon stays, retries back off, then stop
        Tray t;
        t.apply(t.state.xembedTray(true, true));
        t.apply(t.state.iconAdded());
        t.apply(t.state.watcherVanished());
        t.hide();
        t.apply(t.state.watcherAppeared());
        t.apply(t.state.hostRegistered());
        t.apply(t.state.exported(true));
        for (int attempt = 0; attempt <= TrayState::kRetries; ++attempt) {
            ASSERT_EQ(t.registrations, attempt + 1);
            t.apply(t.state.registrationAnswered(t.lastRegistration, false));
            EXPECT_TRUE(t.docked);
            t.wait(TrayState::kFirstRetryMs << attempt);
        }
        EXPECT_EQ(t.registrations, TrayState::kRetries + 1);
        EXPECT_TRUE(t.due.empty()) << "retried for ever";
        EXPECT_TRUE(t.hidden);
        t.apply(t.state.hostRegistered()); // a host speaks again: a fresh start
        EXPECT_EQ(t.registrations, TrayState::kRetries + 2);
    }
    { // refused, and no X11 tray: the hidden window comes back, Hide then minimises
        Tray t;
        t.startOnHost();
        t.hide();
        ASSERT_TRUE(t.hidden);
        t.apply(t.state.itemUnregistered()); // the watcher dropped the item
        t.wait(TrayState::kFirstRetryMs);
        t.apply(t.state.registrationAnswered(t.lastRegistration, false)); // and refuses it
        t.expectNeverStranded();
        EXPECT_TRUE(t.minimised);
        EXPECT_EQ(t.lost, 1);
        t.hide();
        EXPECT_TRUE(t.minimised);
        t.wait(10'000); // the next retry is accepted: the icon stands again, said once
        t.apply(t.state.registrationAnswered(t.lastRegistration, true));
        EXPECT_EQ(t.stands, 1);
        EXPECT_TRUE(t.state.iconShown());
    }
    { // a slow answer: past its timer the icon counts as missing and the X11 tray serves;
      // never asked again while the call is pending, a late yes confirms, a late no retries
        for (const bool yes : {true, false}) {
            Tray t;
            t.apply(t.state.xembedTray(true, true));
            t.apply(t.state.iconAdded());
            t.apply(t.state.watcherAppeared());
            t.apply(t.state.hostAnswered(t.lastQuestion, true));
            t.apply(t.state.exported(true));
            t.hide();
            t.wait(TrayState::kRegistrationMs);
            EXPECT_TRUE(t.docked);
            t.wait(20'000);
            EXPECT_EQ(t.registrations, 1);
            t.apply(t.state.registrationAnswered(t.lastRegistration, yes));
            EXPECT_EQ(t.state.placed(),
                      yes ? TrayProtocol::StatusNotifierItem : TrayProtocol::XEmbed);
            t.wait(TrayState::kFirstRetryMs);
            EXPECT_EQ(t.registrations, yes ? 1 : 2);
            t.expectNeverStranded();
        }
    }
    { // the export itself fails: tried again, never in a tight loop
        Tray t;
        t.apply(t.state.iconAdded());
        t.apply(t.state.watcherAppeared());
        t.apply(t.state.exported(false));
        EXPECT_EQ(t.exports, 1);
        t.wait(TrayState::kFirstRetryMs);
        EXPECT_EQ(t.exports, 2);
    }
}

TEST(TrayState, HostsThatGoAndComeBack) {
    { // the watcher goes during registration: its late answer is stale, the next one counts
        Tray t;
        t.registerOnHost();
        const unsigned old = t.lastRegistration;
        t.apply(t.state.watcherVanished());
        t.apply(t.state.registrationAnswered(old, true));
        EXPECT_FALSE(t.state.iconShown());
        t.apply(t.state.watcherAppeared());
        t.apply(t.state.hostRegistered());
        t.apply(t.state.exported(true));
        EXPECT_EQ(t.registrations, 2);
        EXPECT_EQ(t.exports, 2) << "a new watcher gets a new item";
        t.apply(t.state.registrationAnswered(t.lastRegistration, true));
        EXPECT_TRUE(t.state.iconShown());
    }
    { // the watcher restarts quickly while hidden: registered once with it, window stays hidden
        Tray t;
        t.startOnHost();
        t.hide();
        t.apply(t.state.watcherVanished());
        t.wait(300);
        t.apply(t.state.watcherAppeared());
        t.apply(t.state.hostAnswered(t.lastQuestion, true));
        t.apply(t.state.exported(true));
        t.apply(t.state.registrationAnswered(t.lastRegistration, true));
        t.expectNeverStranded();
        EXPECT_TRUE(t.hidden);
        EXPECT_EQ(t.registrations, 2);
        EXPECT_EQ(t.lost, 0);
    }
    { // Plasma: the shell's host name leaves while kded says a host is there; xembedsniproxy's
      // X11 tray is no tray then. The shell comes back: one item, nothing registered again.
        Tray t;
        t.apply(t.state.hostNamesCounted(1));
        t.startOnHost(true);
        t.hide();
        t.apply(t.state.hostNamesCounted(0));
        t.expectNeverStranded();
        EXPECT_TRUE(t.minimised);
        EXPECT_FALSE(t.docked);
        t.apply(t.state.hostNamesCounted(1));
        EXPECT_TRUE(t.state.iconShown());
        EXPECT_EQ(t.stands, 1);
        EXPECT_EQ(t.registrations, 1);
        EXPECT_EQ(t.exports, 1);
        EXPECT_TRUE(t.due.empty());
    }
    { // kded's watcher while Plasma's shell is down from the start: kded says a host is
      // there, yet none shows the item. Hide minimises; the shell comes and the icon stands.
        Tray t;
        t.apply(t.state.watcherIsKded(true));
        t.startOnHost();
        t.hide();
        EXPECT_TRUE(t.minimised);
        t.apply(t.state.hostNamesCounted(1));
        EXPECT_TRUE(t.state.iconShown());
    }
    { // an X11 tray restarts: back within the settling pause, the window stays hidden;
      // killed for good, the window comes back; a later tray is trusted after the pause
        Tray t;
        t.apply(t.state.xembedTray(true, true));
        t.apply(t.state.iconAdded());
        t.apply(t.state.watcherVanished());
        t.hide();
        t.apply(t.state.xembedTray(false));
        EXPECT_FALSE(t.docked);
        t.wait(100);
        t.apply(t.state.xembedTray(true));
        t.expectNeverStranded();
        EXPECT_TRUE(t.hidden);
        EXPECT_TRUE(t.docked);
        t.apply(t.state.xembedTray(false));
        t.expectNeverStranded();
        EXPECT_TRUE(t.minimised);
        EXPECT_TRUE(t.due.empty());
    }
    { // deleted: everything goes, and nothing comes back for it
        Tray t;
        t.startOnHost(true);
        t.apply(t.state.iconDeleted());
        t.apply(t.state.watcherAppeared());
        t.apply(t.state.xembedTray(false));
        EXPECT_FALSE(t.docked);
        EXPECT_EQ(t.exports, 1);
        EXPECT_FALSE(t.state.iconShown());
        EXPECT_TRUE(t.due.empty());
    }
}

TEST(TrayState, AnswersAndSignalsThatCameLateOrOtherwise) {
    { // the only host leaves and the watcher never answers the question: back within 2 s
        Tray t;
        t.startOnHost();
        t.hide();
        t.apply(t.state.hostUnregistered());
        t.expectNeverStranded();
        EXPECT_TRUE(t.minimised);
    }
    { // one host of two leaves: the watcher's yes keeps the window hidden
        Tray t;
        t.startOnHost(true);
        t.hide();
        t.apply(t.state.hostUnregistered());
        EXPECT_FALSE(t.docked) << "an X11 icon for the moment the answer takes";
        t.apply(t.state.hostAnswered(t.lastQuestion, true));
        t.expectNeverStranded();
        EXPECT_TRUE(t.hidden);
        EXPECT_EQ(t.lost, 0);
    }
    { // a watcher that signals before it answers, then drops the item: the late yes to the
      // first call confirms nothing, the next call's does
        Tray t;
        t.registerOnHost();
        const unsigned first = t.lastRegistration;
        t.apply(t.state.itemRegistered());
        t.hide();
        t.apply(t.state.itemUnregistered());
        t.apply(t.state.registrationAnswered(first, true));
        EXPECT_FALSE(t.state.iconShown());
        t.wait(TrayState::kFirstRetryMs);
        ASSERT_NE(t.lastRegistration, first);
        t.apply(t.state.registrationAnswered(first, true));
        EXPECT_FALSE(t.state.iconShown());
        t.apply(t.state.registrationAnswered(t.lastRegistration, true));
        EXPECT_TRUE(t.state.iconShown());
    }
    { // Cinnamon's watcher outlives its shell and says so only by its property
        Tray t;
        t.startOnHost();
        t.hide();
        t.apply(t.state.hostPropertyChanged(false));
        t.expectNeverStranded();
        EXPECT_TRUE(t.minimised);
        t.apply(t.state.hostPropertyChanged(true));
        EXPECT_TRUE(t.state.iconShown());
        EXPECT_EQ(t.stands, 1);
    }
}
