#include "platform/linux/units/manager_bus.h"

#include <algorithm>
#include <memory>
#include <set>

namespace proclens::linux_port {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kManagerName[] = "org.freedesktop.systemd1";
constexpr char kManagerPath[] = "/org/freedesktop/systemd1";
constexpr char kManagerInterface[] = "org.freedesktop.systemd1.Manager";
constexpr char kUnitRows[] = "(a(ssssssouso))";
// After the time-out, cancelled operations still report back; this long is
// waited for that before their state is left to them.
constexpr std::chrono::milliseconds kCancelGrace{100};

struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;
struct VariantUnref {
  void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;
struct SourceDestroy {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};
using SourcePtr = std::unique_ptr<GSource, SourceDestroy>;

// One bus's exchange. The callbacks own a share of it, so that an exchange
// given up after the time-out stays valid for a callback that comes later.
struct Exchange {
  std::string address;
  std::uint32_t manager_uid = 0;
  GObjectPtr<GDBusConnection> connection;
  std::vector<std::string> units;
  Clock::time_point deadline;
  GObjectPtr<GCancellable> cancellable{g_cancellable_new()};
  bool listed_all = false;
  bool finished = false;
  std::optional<ManagerAnswers> answers;
};
using ExchangeShare = std::shared_ptr<Exchange>;

gpointer Share(const ExchangeShare& exchange) { return new ExchangeShare(exchange); }
std::unique_ptr<ExchangeShare> Take(gpointer data) {
  return std::unique_ptr<ExchangeShare>(static_cast<ExchangeShare*>(data));
}

gint RemainingMs(const Exchange& exchange) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(exchange.deadline - Clock::now());
  return static_cast<gint>(std::max<std::chrono::milliseconds::rep>(1, left.count()));
}

void Finish(Exchange& exchange, std::optional<ManagerAnswers> answers) {
  exchange.answers = std::move(answers);
  exchange.finished = true;
}

ManagerAnswers AnswersFrom(GVariant* reply, const std::vector<std::string>& units) {
  const std::set<std::string_view> asked(units.begin(), units.end());
  ManagerAnswers answers;
  GVariantIter* rows = nullptr;
  g_variant_get(reply, kUnitRows, &rows);
  const gchar *name, *description, *load_state, *ignored;
  const gchar* path;
  guint32 job;
  while (g_variant_iter_loop(rows, "(&s&s&s&s&s&s&ou&s&o)", &name, &description, &load_state, &ignored, &ignored,
                             &ignored, &path, &job, &ignored, &path)) {
    // A unit that did not load (not-found, bad-setting, masked) has only
    // its name for a description: its files may say more.
    if (!asked.contains(name) || std::string_view(load_state) != "loaded") continue;
    answers[name] = std::string_view(description) == name ? "" : description;
  }
  g_variant_iter_free(rows);
  return answers;
}

// The unit names as fnmatch patterns: a name holds no "*", "?" or "[", but
// its "\x2d"-style escapes would read as escapes; "?" matches the backslash
// whatever the manager's fnmatch flags are, and the rows are picked exactly.
GVariant* PatternArguments(const std::vector<std::string>& units) {
  std::vector<std::string> patterns;
  for (std::string pattern : units) {
    std::replace(pattern.begin(), pattern.end(), '\\', '?');
    patterns.push_back(std::move(pattern));
  }
  std::vector<const gchar*> strings;
  for (const std::string& pattern : patterns) strings.push_back(pattern.c_str());
  return g_variant_new("(@as@as)", g_variant_new_strv(nullptr, 0),
                       g_variant_new_strv(strings.data(), static_cast<gssize>(strings.size())));
}

void OnListed(GObject* source, GAsyncResult* result, gpointer data);

void AskForUnits(const ExchangeShare& exchange) {
  const char* method = exchange->listed_all ? "ListUnits" : "ListUnitsByPatterns";
  g_dbus_connection_call(exchange->connection.get(), kManagerName, kManagerPath, kManagerInterface, method,
                         exchange->listed_all ? nullptr : PatternArguments(exchange->units),
                         G_VARIANT_TYPE(kUnitRows), G_DBUS_CALL_FLAGS_NO_AUTO_START, RemainingMs(*exchange),
                         exchange->cancellable.get(), OnListed, Share(exchange));
}

void OnListed(GObject* source, GAsyncResult* result, gpointer data) {
  const auto exchange = *Take(data);
  GError* error_out = nullptr;
  const VariantPtr reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error_out));
  const ErrorPtr error(error_out);
  if (reply) return Finish(*exchange, AnswersFrom(reply.get(), exchange->units));
  const GCharPtr remote(error && g_dbus_error_is_remote_error(error.get()) ? g_dbus_error_get_remote_error(error.get())
                                                                           : nullptr);
  if (!exchange->listed_all && remote && std::string_view(remote.get()) == "org.freedesktop.DBus.Error.UnknownMethod") {
    exchange->listed_all = true;
    return AskForUnits(exchange);
  }
  Finish(*exchange, std::nullopt);
}

void OnOwner(GObject* source, GAsyncResult* result, gpointer data) {
  const auto exchange = *Take(data);
  const VariantPtr reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr));
  guint32 uid = 0;
  if (reply) g_variant_get(reply.get(), "(u)", &uid);
  if (!reply || uid != exchange->manager_uid) return Finish(*exchange, std::nullopt);
  AskForUnits(exchange);
}

void CallBus(const ExchangeShare& exchange, const char* method, GVariant* arguments, const char* reply_type,
             GAsyncReadyCallback callback) {
  g_dbus_connection_call(exchange->connection.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", method, arguments, G_VARIANT_TYPE(reply_type),
                         G_DBUS_CALL_FLAGS_NONE, RemainingMs(*exchange), exchange->cancellable.get(), callback,
                         Share(exchange));
}

void OnHello(GObject* source, GAsyncResult* result, gpointer data) {
  const auto exchange = *Take(data);
  const VariantPtr reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr));
  if (!reply) return Finish(*exchange, std::nullopt);
  // Anyone may own the name on a session bus (and nobody but root on the
  // system bus): only the manager's own user speaks for its units.
  CallBus(exchange, "GetConnectionUnixUser", g_variant_new("(s)", kManagerName), "(u)", OnOwner);
}

void OnConnected(GObject*, GAsyncResult* result, gpointer data) {
  const auto exchange = *Take(data);
  exchange->connection.reset(g_dbus_connection_new_for_address_finish(result, nullptr));
  if (!exchange->connection) return Finish(*exchange, std::nullopt);
  // The bus's Hello is sent here rather than by GDBus while connecting,
  // where it could neither be cancelled nor be given the time-out.
  CallBus(exchange, "Hello", nullptr, "(s)", OnHello);
}

void Start(const ExchangeShare& exchange) {
  if (exchange->connection) return AskForUnits(exchange);
  g_dbus_connection_new_for_address(exchange->address.c_str(), G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT, nullptr,
                                    exchange->cancellable.get(), OnConnected, Share(exchange));
}

gboolean SetFlag(gpointer flag) {
  *static_cast<bool*>(flag) = true;
  return G_SOURCE_REMOVE;
}

// Runs the context until every exchange has finished or the time has passed.
bool RunUntilFinished(GMainContext* context, const std::vector<ExchangeShare>& exchanges,
                      std::chrono::milliseconds time) {
  bool time_over = false;
  const SourcePtr timer(g_timeout_source_new(static_cast<guint>(time.count())));
  g_source_set_callback(timer.get(), SetFlag, &time_over, nullptr);
  g_source_attach(timer.get(), context);
  const auto all_finished = [&] {
    return std::all_of(exchanges.begin(), exchanges.end(), [](const ExchangeShare& e) { return e->finished; });
  };
  while (!all_finished() && !time_over) g_main_context_iteration(context, TRUE);
  return all_finished();
}

}  // namespace

ManagerBus::ManagerBus(std::string address, std::uint32_t manager_uid)
    : address_(std::move(address)), manager_uid_(manager_uid), away_(address_.empty()) {}

void AskManagers(std::vector<ManagerQuestion>& questions, std::chrono::milliseconds timeout) {
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  const Clock::time_point deadline = Clock::now() + timeout;
  std::vector<ExchangeShare> exchanges;
  std::vector<ManagerQuestion*> asked;
  for (ManagerQuestion& question : questions) {
    question.answers.reset();
    if (question.bus->away_ || question.units.empty()) continue;
    auto exchange = std::make_shared<Exchange>();
    exchange->address = question.bus->address_;
    exchange->manager_uid = question.bus->manager_uid_;
    exchange->connection = std::move(question.bus->connection_);
    exchange->units = question.units;
    exchange->deadline = deadline;
    Start(exchange);
    exchanges.push_back(std::move(exchange));
    asked.push_back(&question);
  }
  if (!RunUntilFinished(context, exchanges, timeout)) {
    for (const ExchangeShare& exchange : exchanges) g_cancellable_cancel(exchange->cancellable.get());
    RunUntilFinished(context, exchanges, kCancelGrace);
  }
  for (std::size_t i = 0; i < exchanges.size(); ++i) {
    Exchange& exchange = *exchanges[i];
    ManagerBus& bus = *asked[i]->bus;
    if (exchange.finished && exchange.answers) {
      asked[i]->answers = std::move(exchange.answers);
      bus.connection_ = std::move(exchange.connection);
    } else {
      bus.away_ = true;
    }
  }
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);
}

}  // namespace proclens::linux_port
