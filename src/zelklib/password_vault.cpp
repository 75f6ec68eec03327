#include "zelklib/password_vault.h"

#include <libsecret/secret.h>

#include <cstdlib>

namespace zelklib {
namespace {

const SecretSchema* loginSchema() {
  static const SecretSchema schema = {
      "org.tamsel.Zelk.Login",
      SECRET_SCHEMA_NONE,
      {{"program-dir", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
      0,
      nullptr,
      nullptr,
      nullptr,
      nullptr,
      nullptr,
      nullptr,
      nullptr};
  return &schema;
}

// Runs one asynchronous libsecret call on a private main context of this thread and waits for
// its end, cancelling it when the time-out comes first.
class BoundedCall {
 public:
  explicit BoundedCall(int timeoutMs)
      : context_(g_main_context_new()), cancellable_(g_cancellable_new()) {
    g_main_context_push_thread_default(context_);
    timeout_ = g_timeout_source_new(static_cast<guint>(timeoutMs));
    g_source_set_callback(
        timeout_,
        [](gpointer cancellable) -> gboolean {
          g_cancellable_cancel(static_cast<GCancellable*>(cancellable));
          return G_SOURCE_REMOVE;
        },
        cancellable_, nullptr);
    g_source_attach(timeout_, context_);
  }
  ~BoundedCall() {
    g_source_destroy(timeout_);
    g_source_unref(timeout_);
    if (result_ != nullptr) g_object_unref(result_);
    g_object_unref(cancellable_);
    g_main_context_pop_thread_default(context_);
    g_main_context_unref(context_);
  }
  BoundedCall(const BoundedCall&) = delete;
  BoundedCall& operator=(const BoundedCall&) = delete;

  GCancellable* cancellable() const { return cancellable_; }
  static void done(GObject*, GAsyncResult* result, gpointer self) {
    auto* call = static_cast<BoundedCall*>(self);
    call->result_ = G_ASYNC_RESULT(g_object_ref(result));
  }
  // Waits for the callback; the finished call's result.
  GAsyncResult* wait() {
    while (result_ == nullptr) g_main_context_iteration(context_, TRUE);
    return result_;
  }

 private:
  GMainContext* context_;
  GCancellable* cancellable_;
  GSource* timeout_ = nullptr;
  GAsyncResult* result_ = nullptr;
};

}  // namespace

PasswordVault::PasswordVault(std::string programDir, int timeoutMs)
    : programDir_(std::move(programDir)), timeoutMs_(timeoutMs) {}

bool PasswordVault::SessionBusAnnounced() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  return address != nullptr && address[0] != '\0';
}

bool PasswordVault::store(const std::string& password) const {
  if (!SessionBusAnnounced()) return false;
  BoundedCall call(timeoutMs_);
  secret_password_store(loginSchema(), SECRET_COLLECTION_DEFAULT, "Tamsel 登录密码",
                        password.c_str(), call.cancellable(), &BoundedCall::done, &call,
                        "program-dir", programDir_.c_str(), nullptr);
  GError* error = nullptr;
  const gboolean stored = secret_password_store_finish(call.wait(), &error);
  if (error != nullptr) g_error_free(error);
  return stored != FALSE;
}

std::optional<std::string> PasswordVault::lookup() const {
  if (!SessionBusAnnounced()) return std::nullopt;
  BoundedCall call(timeoutMs_);
  secret_password_lookup(loginSchema(), call.cancellable(), &BoundedCall::done, &call,
                         "program-dir", programDir_.c_str(), nullptr);
  GError* error = nullptr;
  gchar* password = secret_password_lookup_finish(call.wait(), &error);
  if (error != nullptr) g_error_free(error);
  if (password == nullptr) return std::nullopt;
  std::string result = password;
  secret_password_free(password);
  return result;
}

void PasswordVault::clear() const {
  if (!SessionBusAnnounced()) return;
  BoundedCall call(timeoutMs_);
  secret_password_clear(loginSchema(), call.cancellable(), &BoundedCall::done, &call, "program-dir",
                        programDir_.c_str(), nullptr);
  GError* error = nullptr;
  secret_password_clear_finish(call.wait(), &error);
  if (error != nullptr) g_error_free(error);
}

}  // namespace zelklib
