#pragma once

#include <json/value.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "devservice/catalogue.h"
#include "platform/clock.h"

namespace devservice {

class ServiceLog;

struct Account {
  std::int32_t uid = 0;
  std::string loginId;
  std::string passwordHash;
  std::string nickName;
  std::string avatar;
  bool canDownload = true;
};

struct UserMessage {
  std::int32_t id = 0;
  std::int32_t uid = 0;
  std::string title;
  std::string body;
  bool read = false;
  std::int64_t sentMs = 0;
};

enum class SignStatus { kValid, kExpired, kUnknown };

// Everything the service learns while it runs: accounts, login signs with their expiry, SMS
// codes, download reports, unread messages and usage counters. Kept in one file, state.json,
// in the state folder; every change rewrites it through a temporary file and a rename, so a
// crash leaves the old or the new state. Thread-safe: one lock around each operation.
class StateStore {
 public:
  static constexpr std::int64_t kSmsCodeLifetimeMs = 5 * 60 * 1000;

  // Reads state.json, or creates the state from the catalogue's demo accounts when there is
  // none. A file that cannot be read as state is kept aside as state.json.bad (logged) and a
  // fresh state is started. Raises std::runtime_error when the folder cannot be written.
  StateStore(std::string folder, const Catalogue& catalogue, platform::Clock& clock,
             ServiceLog& log);

  std::string filePath() const;

  std::optional<Account> accountByLoginId(const std::string& loginId) const;
  std::optional<Account> accountByUid(std::int32_t uid) const;
  // Adds an account with the next user id and the welcome messages.
  Account createAccount(const std::string& loginId, const std::string& passwordHash,
                        const std::string& nickName, const std::string& avatar,
                        const std::vector<SeedMessage>& welcome);
  bool setPasswordHash(std::int32_t uid, const std::string& passwordHash);
  bool setAvatar(std::int32_t uid, const std::string& avatar);
  bool setNickName(std::int32_t uid, const std::string& nickName);

  // A new random sign for the user, valid for lifetimeMs from now.
  std::string issueSign(std::int32_t uid, std::int64_t lifetimeMs);
  SignStatus checkSign(const std::string& sign, std::int32_t* uid = nullptr) const;
  bool removeSign(const std::string& sign);
  // Makes the signs of one user (or of everybody) expired now; returns how many.
  int expireSigns(std::optional<std::int32_t> uid);
  int liveSignCount() const;

  // Remembers a new code for the number (replacing an older one), valid for five minutes.
  void storeSmsCode(const std::string& mobile, const std::string& code);
  // The live code of the number and when it was sent; nothing when none or expired.
  std::optional<std::pair<std::string, std::int64_t>> smsCode(const std::string& mobile) const;
  void removeSmsCode(const std::string& mobile);

  std::vector<UserMessage> messages(std::int32_t uid) const;
  int unreadCount(std::int32_t uid) const;
  void markMessagesRead(std::int32_t uid);

  void addDownloadReport(std::int32_t uid, const std::string& downloadId);
  int downloadReportCount(std::int32_t uid) const;
  void recordClientStart();
  void recordBehavior(const std::string& name, std::int32_t kind);
  std::int64_t clientStarts() const;

 private:
  struct SignRecord {
    std::int32_t uid = 0;
    std::int64_t expiresMs = 0;
  };
  struct SmsRecord {
    std::string code;
    std::int64_t sentMs = 0;
    std::int64_t expiresMs = 0;
  };
  struct Report {
    std::int32_t uid = 0;
    std::string downloadId;
    std::int64_t atMs = 0;
  };

  void reset();
  void seed(const Catalogue& catalogue);
  void load(const Json::Value& root);
  Json::Value toJson() const;
  // Writes the state; called with the lock held after every change.
  void save();
  Account* findAccount(std::int32_t uid);
  void addMessages(std::int32_t uid, const std::vector<SeedMessage>& messages);

  const std::string folder_;
  platform::Clock& clock_;
  ServiceLog& log_;
  mutable std::mutex mutex_;
  std::vector<Account> accounts_;
  std::int32_t nextUid_ = 10001;
  std::map<std::string, SignRecord> signs_;
  std::map<std::string, SmsRecord> smsCodes_;
  std::vector<UserMessage> messages_;
  std::int32_t nextMessageId_ = 1;
  std::vector<Report> reports_;
  std::int64_t clientStarts_ = 0;
  std::map<std::string, std::int64_t> behaviors_;
};

}  // namespace devservice
