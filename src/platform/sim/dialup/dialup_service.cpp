// SPDX-License-Identifier: MIT
#include "platform/sim/dialup/dialup_service.h"

#include <algorithm>
#include <utility>

namespace nimbra::sim {

namespace {

using namespace platform;

constexpr std::string_view kOtherDeviceType = "modem";
constexpr std::string_view kOtherDeviceName = "Standard 56000 bps Modem";

bool same_name(std::string_view a, std::string_view b) {
  return iequals(a, b);
}

}  // namespace

DialupService::DialupService(const MachineConfig& config, TaskTimer& timer, Clock& clock,
                             Hardware hardware)
    : settings_(DialupSettings::load(config)),
      code_page_(config.code_page()),
      language_(config.language),
      timer_(timer),
      clock_(clock),
      hardware_(std::move(hardware)),
      phonebook_(config.dir / kPhonebookFile, code_page_),
      connections_file_(config.dir / kConnectionsFile, code_page_) {
  bring_up_other_connections();
}

DialupService::~DialupService() {
  for (const auto& [handle, call] : calls_) timer_.cancel(call.pending);
}

void DialupService::bring_up_other_connections() {
  if (settings_.other_connections.empty()) return;
  const bool saved = connections_file_.update([this](ConnectionTable& table) {
    bool changed = false;
    for (const std::string& name : settings_.other_connections) {
      const std::string entry = to_ansi(name, code_page_);
      const bool up = std::any_of(table.up.begin(), table.up.end(),
                                  [&](const Connection& c) { return same_name(c.entry, entry); });
      if (up || table.up.size() >= settings_.max_connections) continue;
      table.up.push_back(Connection{table.take_handle(), entry, std::string(kOtherDeviceType),
                                    std::string(kOtherDeviceName)});
      changed = true;
    }
    return changed;
  });
  if (!saved) {
    throw MachineError("cannot write " + connections_file_.file().string());
  }
}

std::optional<RasModem> DialupService::modem_of(const PhonebookEntry& entry) const {
  const std::vector<RasModem> modems = hardware_.modems();
  const auto modem = std::find_if(modems.begin(), modems.end(), [&](const RasModem& m) {
    return m.name == entry.properties.device_name;
  });
  if (modem == modems.end()) return std::nullopt;
  return *modem;
}

uint32_t DialupService::refusal(const PhonebookEntry& entry, const ConnectionTable& table) const {
  const auto modem = modem_of(entry);
  if (!modem) return ERROR_DEVICE_DOES_NOT_EXIST;
  const auto uses_device = [&](const Connection& c) {
    return c.device_name == entry.properties.device_name;
  };
  // The modem carries one call at a time.
  if (std::any_of(table.up.begin(), table.up.end(), uses_device)) return ERROR_PORT_NOT_AVAILABLE;
  for (const auto& [handle, call] : calls_) {
    if (!call.finished && uses_device(call.connection)) return ERROR_PORT_NOT_AVAILABLE;
  }
  if (table.up.size() + calls_in_progress() >= settings_.max_connections) {
    return ERROR_PORT_NOT_AVAILABLE;
  }
  return hardware_.open_port ? hardware_.open_port(modem->port) : RAS_SUCCESS;
}

bool DialupService::drop_ended_links(ConnectionTable& table) const {
  if (!hardware_.line) return false;
  return std::erase_if(table.up,
                       [this](const Connection& c) { return !hardware_.line->up(c.entry); }) > 0;
}

ConnectionTable DialupService::live_table() const {
  ConnectionTable table = connections_file_.load();
  if (!drop_ended_links(table)) return table;
  connections_file_.update([&](ConnectionTable& current) {
    const bool gone = drop_ended_links(current);
    table = current;
    return gone;
  });
  return table;
}

std::optional<DialupService::Failure> DialupService::failure_for(
    const platform::DialParams& params) {
  if (next_failure_) return std::exchange(next_failure_, std::nullopt);
  if (settings_.outcome == DialOutcome::Fail) return Failure{settings_.error, settings_.fail_at};
  if (settings_.accept.empty()) return std::nullopt;
  const bool known =
      std::any_of(settings_.accept.begin(), settings_.accept.end(), [&](const Account& a) {
        return to_ansi(a.user, code_page_) == params.user_name &&
               to_ansi(a.password, code_page_) == params.password;
      });
  if (known) return std::nullopt;
  return Failure{ERROR_AUTHENTICATION_FAILURE, RASCS_AuthNotify};
}

std::vector<DialupService::Step> DialupService::plan_for(
    const std::optional<Failure>& failure) const {
  std::vector<Step> plan;
  for (const DialStep& step : dial_walk()) {
    if (failure && step.state == failure->at) {
      plan.push_back(Step{step.state, step.delay_ms, failure->error});
      return plan;
    }
    plan.push_back(Step{step.state, step.delay_ms, RAS_SUCCESS});
  }
  return plan;
}

uint32_t DialupService::dial(const platform::DialParams& params, Notify notify, const void* owner,
                             HRASCONN& handle) {
  if (next_refusal_) return *std::exchange(next_refusal_, std::nullopt);
  if (settings_.outcome == DialOutcome::Refuse) return settings_.error;
  const auto entry = phonebook_.find(params.entry_name);
  if (!entry) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
  uint32_t refused = RAS_SUCCESS;
  const bool saved = connections_file_.update([&](ConnectionTable& table) {
    const bool gone = drop_ended_links(table);
    refused = refusal(*entry, table);
    if (refused != RAS_SUCCESS) return gone;
    handle = table.take_handle();
    return true;
  });
  if (refused != RAS_SUCCESS) return refused;
  if (!saved) return ERROR_CANNOT_WRITE_PHONEBOOK;

  Call call;
  call.connection = Connection{handle, entry->dial.entry_name, entry->properties.device_type,
                               entry->properties.device_name};
  call.notify = std::move(notify);
  call.owner = owner;
  const bool synchronous = !call.notify;
  if (hardware_.line) {
    calls_.emplace(handle, std::move(call));
    return dial_on_line(*entry, params, handle);
  }
  call.plan = plan_for(failure_for(params));
  calls_.emplace(handle, std::move(call));
  if (!synchronous) {
    schedule_next(handle);
    return RAS_SUCCESS;
  }
  // The caller's thread waits for the whole call, as RasDialA does without a notifier.
  for (;;) {
    const auto it = calls_.find(handle);
    if (it == calls_.end()) return ERROR_NO_CONNECTION;
    if (it->second.finished) return it->second.error;
    clock_.sleep(it->second.plan[it->second.next].delay_ms);
    advance(handle);
  }
}

void DialupService::schedule_next(HRASCONN handle) {
  Call& call = calls_.at(handle);
  call.pending = timer_.after(call.plan[call.next].delay_ms, [this, handle] {
    const auto it = calls_.find(handle);
    if (it == calls_.end()) return;
    it->second.pending = 0;
    advance(handle);
    if (const auto again = calls_.find(handle); again != calls_.end() && !again->second.finished) {
      schedule_next(handle);
    }
  });
}

uint32_t DialupService::advance(HRASCONN handle) {
  Call& call = calls_.at(handle);
  const Step step = call.plan[call.next++];
  settle(handle, step.state, step.error);
  return step.error;
}

void DialupService::settle(HRASCONN handle, RasConnState state, uint32_t error) {
  Call& call = calls_.at(handle);
  if (error != RAS_SUCCESS || state == RASCS_Connected) {
    call.finished = true;
    call.error = error;
  }
  if (state == RASCS_Connected) {
    connections_file_.update([&call](ConnectionTable& table) {
      table.up.push_back(call.connection);
      return true;
    });
  }
  if (call.notify) {
    const Notify notify = call.notify;  // the notifier may end the call
    notify(state, error);
  }
}

uint32_t DialupService::dial_on_line(const PhonebookEntry& entry, const DialParams& params,
                                     HRASCONN handle) {
  CallLine::Call line_call;
  line_call.handle = handle;
  line_call.entry = entry.dial.entry_name;
  line_call.port = modem_of(entry)->port;
  line_call.number =
      params.phone_number.empty() ? entry.properties.local_phone : params.phone_number;
  line_call.user = params.user_name;
  line_call.password = params.password;
  const bool synchronous = !calls_.at(handle).notify;
  const uint32_t refused = hardware_.line->start(
      line_call,
      [this](HRASCONN h, RasConnState state, uint32_t error) { hear_line(h, state, error); });
  if (refused != RAS_SUCCESS) {
    calls_.erase(handle);
    return refused;
  }
  if (!synchronous) return RAS_SUCCESS;
  hardware_.line->wait_for_end(handle);
  const auto it = calls_.find(handle);
  return it == calls_.end() ? ERROR_NO_CONNECTION : it->second.error;
}

void DialupService::hear_line(HRASCONN handle, RasConnState state, uint32_t error) {
  const auto it = calls_.find(handle);
  if (it == calls_.end()) return;  // hung up meanwhile
  if (!it->second.finished) {
    settle(handle, state, error);
  } else if (state == RASCS_Disconnected) {
    drop(handle);  // the link went down after it was up
  }
}

uint32_t DialupService::hang_up(HRASCONN handle) {
  bool known = false;
  if (const auto it = calls_.find(handle); it != calls_.end()) {
    timer_.cancel(it->second.pending);
    if (hardware_.line) hardware_.line->end(handle, {});
    calls_.erase(it);
    known = true;
  }
  std::optional<Connection> removed;
  connections_file_.update([&](ConnectionTable& table) {
    const auto it = std::find_if(table.up.begin(), table.up.end(),
                                 [handle](const Connection& c) { return c.handle == handle; });
    if (it == table.up.end()) return false;
    removed = *it;
    table.up.erase(it);
    return true;
  });
  if (removed) {
    // A connection that another program run brought up: its link is ended through the line.
    if (hardware_.line && !known) hardware_.line->end(handle, removed->entry);
    known = true;
  }
  return known ? RAS_SUCCESS : ERROR_INVALID_HANDLE_RAS;
}

void DialupService::forget(const void* owner) {
  for (auto& [handle, call] : calls_) {
    if (call.owner == owner) call.notify = nullptr;
  }
}

void DialupService::fail_next_dial(uint32_t error, RasConnState at) {
  next_failure_ = Failure{error, at};
}

void DialupService::refuse_next_dial(uint32_t error) {
  next_refusal_ = error;
}

bool DialupService::drop(HRASCONN handle) {
  bool removed = false;
  connections_file_.update([&](ConnectionTable& table) {
    removed = std::erase_if(table.up, [&](const Connection& c) { return c.handle == handle; }) > 0;
    return removed;
  });
  if (!removed) return false;
  // The handle stays valid until its dialler hangs up, as RAS keeps it.
  if (const auto it = calls_.find(handle); it != calls_.end() && it->second.notify) {
    const Notify notify = it->second.notify;
    notify(RASCS_Disconnected, ERROR_NO_CONNECTION);
  }
  return true;
}

size_t DialupService::hang_up_all() {
  for (const auto& [handle, call] : calls_) {
    timer_.cancel(call.pending);
    if (hardware_.line) hardware_.line->end(handle, {});
  }
  calls_.clear();
  return connections_file_.end_all().value_or(0);
}

size_t DialupService::calls_in_progress() const {
  return static_cast<size_t>(std::count_if(calls_.begin(), calls_.end(),
                                           [](const auto& kv) { return !kv.second.finished; }));
}

}  // namespace nimbra::sim
