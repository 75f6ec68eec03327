#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace account {

// Everything the client knows of its one login. Texts are ANSI (the system code page).
struct SessionState {
  bool loggedIn = false;
  std::int32_t uid = 0;
  std::string loginSign;  // the credential later requests send
  std::string loginId;    // the stored login, as typed
  std::string password;
  std::string nickName;
  std::string imageUrl;  // the avatar's address
  bool rememberPassword = false;
  bool autoLogin = false;
  bool reloginPending = false;  // a silent login with the stored login runs
  bool silentLogin = false;     // the running login shows no failure message

  // Nobody is logged in: no user, no sign; the stored login stays.
  void ForgetUser();
};

// The one login session of the client, shared by the window thread and the account's workers.
// Each access holds the lock only for the copy or the change, so the window thread never waits
// on a worker's request.
class UserSession {
 public:
  SessionState Snapshot() const;
  // Changes the state as one step.
  void Update(const std::function<void(SessionState&)>& change);

  bool loggedIn() const;
  std::int32_t uid() const;
  std::string loginSign() const;

 private:
  mutable std::mutex mutex_;
  SessionState state_;
};

}  // namespace account
