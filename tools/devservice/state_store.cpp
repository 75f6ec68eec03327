#include "devservice/state_store.h"

#include <json/reader.h>
#include <sodium.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "devservice/password_hash.h"
#include "devservice/reply.h"
#include "devservice/service_log.h"
#include "devservice/text_util.h"
#include "platform/paths.h"

namespace devservice {

namespace {

constexpr std::size_t kKeptReports = 10000;
constexpr std::size_t kKeptBehaviorNames = 1000;
constexpr std::size_t kMaxBehaviorNameBytes = 128;

bool MakeFolders(const std::string& folder) {
  std::string path;
  for (std::size_t i = 0; i <= folder.size(); ++i) {
    if (i == folder.size() || (folder[i] == '/' && i > 0)) {
      path = folder.substr(0, i);
      if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string RandomSign() {
  unsigned char bytes[16];
  randombytes_buf(bytes, sizeof bytes);
  char hex[sizeof bytes * 2 + 1];
  sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
  return hex;
}

std::int32_t AsUid(const Json::Value& value) {
  if (!value.isInt()) throw std::runtime_error("a user id is not an integer");
  return value.asInt();
}

std::string AsText(const Json::Value& value) {
  if (!value.isString()) throw std::runtime_error("a text field is not a text");
  return value.asString();
}

std::int64_t AsTime(const Json::Value& value) {
  if (!value.isIntegral()) throw std::runtime_error("a time is not an integer");
  return value.asInt64();
}

}  // namespace

StateStore::StateStore(std::string folder, const Catalogue& catalogue, platform::Clock& clock,
                       ServiceLog& log)
    : folder_(std::move(folder)), clock_(clock), log_(log) {
  if (sodium_init() < 0) throw std::runtime_error("libsodium cannot be initialised");
  if (!MakeFolders(folder_)) throw std::runtime_error("cannot create the state folder " + folder_);
  std::lock_guard lock(mutex_);
  std::string text;
  if (platform::ReadWholeFile(filePath(), text)) {
    Json::CharReaderBuilder builder;
    Json::Value root;
    std::string errors;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    try {
      if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors) ||
          !root.isObject()) {
        throw std::runtime_error("not a JSON object " + errors);
      }
      load(root);
      return;
    } catch (const std::exception& error) {
      const std::string aside = filePath() + ".bad";
      std::rename(filePath().c_str(), aside.c_str());
      log_.write("状态文件无法读取，已另存为 " + aside + " 并重新开始: " + error.what());
      reset();
    }
  }
  seed(catalogue);
  save();
}

std::string StateStore::filePath() const {
  return platform::JoinPath(folder_, "state.json");
}

void StateStore::reset() {
  accounts_.clear();
  nextUid_ = 10001;
  signs_.clear();
  smsCodes_.clear();
  messages_.clear();
  nextMessageId_ = 1;
  reports_.clear();
  clientStarts_ = 0;
  behaviors_.clear();
}

void StateStore::seed(const Catalogue& catalogue) {
  for (const SeedAccount& seedAccount : catalogue.seedAccounts()) {
    Account account{nextUid_++,           seedAccount.loginId, HashPassword(seedAccount.password),
                    seedAccount.nickName, seedAccount.avatar,  seedAccount.canDownload};
    accounts_.push_back(account);
    addMessages(account.uid, seedAccount.messages);
  }
  log_.write("新的状态目录 " + folder_ + "：已建立 " + std::to_string(accounts_.size()) +
             " 个演示帐号");
}

void StateStore::load(const Json::Value& root) {
  for (const Json::Value& item : root["accounts"]) {
    accounts_.push_back(Account{AsUid(item["uid"]), AsText(item["loginId"]),
                                AsText(item["passwordHash"]), AsText(item["nickName"]),
                                AsText(item["avatar"]), item["canDownload"].asBool()});
    nextUid_ = std::max(nextUid_, accounts_.back().uid + 1);
  }
  for (const Json::Value& item : root["signs"]) {
    signs_[AsText(item["sign"])] = SignRecord{AsUid(item["uid"]), AsTime(item["expiresMs"])};
  }
  for (const Json::Value& item : root["smsCodes"]) {
    smsCodes_[AsText(item["mobile"])] =
        SmsRecord{AsText(item["code"]), AsTime(item["sentMs"]), AsTime(item["expiresMs"])};
  }
  for (const Json::Value& item : root["messages"]) {
    messages_.push_back(UserMessage{AsUid(item["id"]), AsUid(item["uid"]), AsText(item["title"]),
                                    AsText(item["body"]), item["read"].asBool(),
                                    AsTime(item["sentMs"])});
    nextMessageId_ = std::max(nextMessageId_, messages_.back().id + 1);
  }
  for (const Json::Value& item : root["downloadReports"]) {
    reports_.push_back(
        Report{AsUid(item["uid"]), AsText(item["downloadId"]), AsTime(item["atMs"])});
  }
  clientStarts_ = root["clientStarts"].isIntegral() ? root["clientStarts"].asInt64() : 0;
  const Json::Value& behaviors = root["behaviors"];
  if (behaviors.isObject()) {
    for (const std::string& name : behaviors.getMemberNames()) {
      behaviors_[name] = AsTime(behaviors[name]);
    }
  }
}

Json::Value StateStore::toJson() const {
  const std::int64_t now = clock_.nowMs();
  Json::Value root(Json::objectValue);
  Json::Value& accounts = root["accounts"] = Json::Value(Json::arrayValue);
  for (const Account& account : accounts_) {
    Json::Value item;
    item["uid"] = account.uid;
    item["loginId"] = account.loginId;
    item["passwordHash"] = account.passwordHash;
    item["nickName"] = account.nickName;
    item["avatar"] = account.avatar;
    item["canDownload"] = account.canDownload;
    accounts.append(item);
  }
  Json::Value& signs = root["signs"] = Json::Value(Json::arrayValue);
  for (const auto& [sign, record] : signs_) {
    if (record.expiresMs <= now) continue;  // expired signs need not outlive a restart
    Json::Value item;
    item["sign"] = sign;
    item["uid"] = record.uid;
    item["expiresMs"] = Json::Int64(record.expiresMs);
    signs.append(item);
  }
  Json::Value& codes = root["smsCodes"] = Json::Value(Json::arrayValue);
  for (const auto& [mobile, record] : smsCodes_) {
    if (record.expiresMs <= now) continue;
    Json::Value item;
    item["mobile"] = mobile;
    item["code"] = record.code;
    item["sentMs"] = Json::Int64(record.sentMs);
    item["expiresMs"] = Json::Int64(record.expiresMs);
    codes.append(item);
  }
  Json::Value& messages = root["messages"] = Json::Value(Json::arrayValue);
  for (const UserMessage& message : messages_) {
    Json::Value item;
    item["id"] = message.id;
    item["uid"] = message.uid;
    item["title"] = message.title;
    item["body"] = message.body;
    item["read"] = message.read;
    item["sentMs"] = Json::Int64(message.sentMs);
    messages.append(item);
  }
  Json::Value& reports = root["downloadReports"] = Json::Value(Json::arrayValue);
  for (const Report& report : reports_) {
    Json::Value item;
    item["uid"] = report.uid;
    item["downloadId"] = report.downloadId;
    item["atMs"] = Json::Int64(report.atMs);
    reports.append(item);
  }
  root["clientStarts"] = Json::Int64(clientStarts_);
  Json::Value& behaviors = root["behaviors"] = Json::Value(Json::objectValue);
  for (const auto& [name, count] : behaviors_) behaviors[name] = Json::Int64(count);
  return root;
}

void StateStore::save() {
  // 0600: the file holds password hashes and live login signs.
  if (!platform::WriteFileAtomically(filePath(), ToJsonText(toJson()), 0600)) {
    log_.write("状态文件写入失败: " + filePath());
  }
}

Account* StateStore::findAccount(std::int32_t uid) {
  const auto found = std::find_if(accounts_.begin(), accounts_.end(),
                                  [&](const Account& a) { return a.uid == uid; });
  return found == accounts_.end() ? nullptr : &*found;
}

void StateStore::addMessages(std::int32_t uid, const std::vector<SeedMessage>& messages) {
  for (const SeedMessage& message : messages) {
    messages_.push_back(
        UserMessage{nextMessageId_++, uid, message.title, message.body, false, clock_.nowMs()});
  }
}

std::optional<Account> StateStore::accountByLoginId(const std::string& loginId) const {
  std::lock_guard lock(mutex_);
  const auto found = std::find_if(accounts_.begin(), accounts_.end(),
                                  [&](const Account& a) { return a.loginId == loginId; });
  if (found == accounts_.end()) return std::nullopt;
  return *found;
}

std::optional<Account> StateStore::accountByUid(std::int32_t uid) const {
  std::lock_guard lock(mutex_);
  const auto found = std::find_if(accounts_.begin(), accounts_.end(),
                                  [&](const Account& a) { return a.uid == uid; });
  if (found == accounts_.end()) return std::nullopt;
  return *found;
}

Account StateStore::createAccount(const std::string& loginId, const std::string& passwordHash,
                                  const std::string& nickName, const std::string& avatar,
                                  const std::vector<SeedMessage>& welcome) {
  std::lock_guard lock(mutex_);
  Account account{nextUid_++, loginId, passwordHash, nickName, avatar, true};
  accounts_.push_back(account);
  addMessages(account.uid, welcome);
  save();
  return account;
}

bool StateStore::setPasswordHash(std::int32_t uid, const std::string& passwordHash) {
  std::lock_guard lock(mutex_);
  Account* account = findAccount(uid);
  if (account == nullptr) return false;
  account->passwordHash = passwordHash;
  save();
  return true;
}

bool StateStore::setAvatar(std::int32_t uid, const std::string& avatar) {
  std::lock_guard lock(mutex_);
  Account* account = findAccount(uid);
  if (account == nullptr) return false;
  account->avatar = avatar;
  save();
  return true;
}

bool StateStore::setNickName(std::int32_t uid, const std::string& nickName) {
  std::lock_guard lock(mutex_);
  Account* account = findAccount(uid);
  if (account == nullptr) return false;
  account->nickName = nickName;
  save();
  return true;
}

std::string StateStore::issueSign(std::int32_t uid, std::int64_t lifetimeMs) {
  std::lock_guard lock(mutex_);
  const std::int64_t now = clock_.nowMs();
  std::erase_if(signs_, [&](const auto& entry) { return entry.second.expiresMs <= now; });
  std::string sign = RandomSign();
  signs_[sign] = SignRecord{uid, now + lifetimeMs};
  save();
  return sign;
}

SignStatus StateStore::checkSign(const std::string& sign, std::int32_t* uid) const {
  std::lock_guard lock(mutex_);
  const auto found = signs_.find(sign);
  if (found == signs_.end()) return SignStatus::kUnknown;
  if (uid != nullptr) *uid = found->second.uid;
  return found->second.expiresMs > clock_.nowMs() ? SignStatus::kValid : SignStatus::kExpired;
}

bool StateStore::removeSign(const std::string& sign) {
  std::lock_guard lock(mutex_);
  if (signs_.erase(sign) == 0) return false;
  save();
  return true;
}

int StateStore::expireSigns(std::optional<std::int32_t> uid) {
  std::lock_guard lock(mutex_);
  const std::int64_t now = clock_.nowMs();
  int count = 0;
  for (auto& [sign, record] : signs_) {
    if ((!uid || record.uid == *uid) && record.expiresMs > now) {
      record.expiresMs = now;
      ++count;
    }
  }
  save();
  return count;
}

int StateStore::liveSignCount() const {
  std::lock_guard lock(mutex_);
  const std::int64_t now = clock_.nowMs();
  return static_cast<int>(std::count_if(signs_.begin(), signs_.end(), [&](const auto& entry) {
    return entry.second.expiresMs > now;
  }));
}

void StateStore::storeSmsCode(const std::string& mobile, const std::string& code) {
  std::lock_guard lock(mutex_);
  const std::int64_t now = clock_.nowMs();
  std::erase_if(smsCodes_, [&](const auto& entry) { return entry.second.expiresMs <= now; });
  smsCodes_[mobile] = SmsRecord{code, now, now + kSmsCodeLifetimeMs};
  save();
}

std::optional<std::pair<std::string, std::int64_t>> StateStore::smsCode(
    const std::string& mobile) const {
  std::lock_guard lock(mutex_);
  const auto found = smsCodes_.find(mobile);
  if (found == smsCodes_.end() || found->second.expiresMs <= clock_.nowMs()) return std::nullopt;
  return std::make_pair(found->second.code, found->second.sentMs);
}

void StateStore::removeSmsCode(const std::string& mobile) {
  std::lock_guard lock(mutex_);
  if (smsCodes_.erase(mobile) > 0) save();
}

std::vector<UserMessage> StateStore::messages(std::int32_t uid) const {
  std::lock_guard lock(mutex_);
  std::vector<UserMessage> mine;
  std::copy_if(messages_.begin(), messages_.end(), std::back_inserter(mine),
               [&](const UserMessage& m) { return m.uid == uid; });
  return mine;
}

int StateStore::unreadCount(std::int32_t uid) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(
      std::count_if(messages_.begin(), messages_.end(),
                    [&](const UserMessage& m) { return m.uid == uid && !m.read; }));
}

void StateStore::markMessagesRead(std::int32_t uid) {
  std::lock_guard lock(mutex_);
  bool changed = false;
  for (UserMessage& message : messages_) {
    if (message.uid == uid && !message.read) {
      message.read = true;
      changed = true;
    }
  }
  if (changed) save();
}

void StateStore::addDownloadReport(std::int32_t uid, const std::string& downloadId) {
  std::lock_guard lock(mutex_);
  reports_.push_back(Report{uid, downloadId, clock_.nowMs()});
  if (reports_.size() > kKeptReports) reports_.erase(reports_.begin());
  save();
}

int StateStore::downloadReportCount(std::int32_t uid) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(reports_.begin(), reports_.end(),
                                        [&](const Report& r) { return r.uid == uid; }));
}

void StateStore::recordClientStart() {
  std::lock_guard lock(mutex_);
  ++clientStarts_;
  save();
}

void StateStore::recordBehavior(const std::string& name, std::int32_t kind) {
  std::lock_guard lock(mutex_);
  const std::string key = std::to_string(kind) + ":" + TruncateUtf8(name, kMaxBehaviorNameBytes);
  if (!behaviors_.contains(key) && behaviors_.size() >= kKeptBehaviorNames) return;
  ++behaviors_[key];
  save();
}

std::int64_t StateStore::clientStarts() const {
  std::lock_guard lock(mutex_);
  return clientStarts_;
}

}  // namespace devservice
