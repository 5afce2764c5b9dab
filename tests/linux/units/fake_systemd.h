#pragma once
// A stand-in for systemd's manager on a private bus of its own (a
// dbus-daemon that it starts and stops, as the end-to-end scripts' buses; the
// environment is left alone): it owns org.freedesktop.systemd1 and answers
// the listing calls from a table, on a thread of its own.

#include <gio/gio.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace proclens::units_test {

struct FakeUnit {
  std::string name;
  std::string description;
  std::string load_state = "loaded";
};

class FakeSystemd {
 public:
  enum class Manner {
    kAnswers,     // ListUnitsByPatterns answers
    kOldManager,  // only ListUnits is known
    kSilent,      // takes the call and never answers
  };
  FakeSystemd(std::vector<FakeUnit> units, Manner manner);
  ~FakeSystemd();

  // Whether it owns the manager's name on its bus.
  bool serving() const { return state_ == kServing; }
  const std::string& address() const { return address_; }
  // Listing calls received.
  int calls() const { return calls_; }

 private:
  static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                     GVariant* arguments, GDBusMethodInvocation* invocation, gpointer self);
  void Serve();
  GVariant* Rows(GVariant* patterns) const;

  std::vector<FakeUnit> units_;
  Manner manner_;
  GSubprocess* daemon_ = nullptr;
  std::string address_;
  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  std::vector<GDBusMethodInvocation*> unanswered_;
  std::atomic<int> calls_{0};
  enum State { kStarting, kServing, kFailed };
  std::atomic<int> state_{kStarting};
  std::thread thread_;
};

}  // namespace proclens::units_test
