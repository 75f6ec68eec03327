#include "service_fixture.h"

#include <json/reader.h>
#include <sodium.h>

#include <array>
#include <regex>

#include "platform/paths.h"

namespace devservice {

Json::Value ParseJsonObject(const std::string& text) {
  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors) ||
      !value.isObject()) {
    return Json::Value();
  }
  return value;
}

ServiceOptions ServiceFixture::options() const {
  ServiceOptions options;
  options.http = HostPort{"127.0.0.1", 0};
  options.dataDir = DefaultDataDir();
  options.keyDir = DefaultKeyDir();
  options.stateDir = stateDir_.path() + "/state";
  options.signLifetimeSeconds = kSignLifetimeSeconds;
  return options;
}

void ServiceFixture::SetUp() {
  service_ = std::make_unique<DevService>(options(), clock_, /*echoLog=*/false);
  const int port = service_->start();
  client_ = std::make_unique<httplib::Client>("127.0.0.1", port);
  client_->set_connection_timeout(5);
  client_->set_read_timeout(10);
}

void ServiceFixture::TearDown() {
  client_.reset();
  service_.reset();
}

void ServiceFixture::restart() {
  TearDown();
  SetUp();
}

httplib::Result ServiceFixture::get(const std::string& pathAndQuery) {
  return client_->Get(pathAndQuery.c_str());
}

Json::Value ServiceFixture::getJson(const std::string& pathAndQuery) {
  const auto result = get(pathAndQuery);
  if (!result) {
    ADD_FAILURE() << "no reply to " << pathAndQuery;
    return Json::Value();
  }
  const Json::Value value = ParseJsonObject(result->body);
  if (!value.isObject())
    ADD_FAILURE() << pathAndQuery << " answered no JSON object: " << result->body;
  return value;
}

Json::Value ServiceFixture::postJson(const std::string& pathAndQuery, const std::string& body,
                                     const std::string& contentType) {
  const auto result = client_->Post(pathAndQuery.c_str(), body, contentType.c_str());
  if (!result) {
    ADD_FAILURE() << "no reply to POST " << pathAndQuery;
    return Json::Value();
  }
  return ParseJsonObject(result->body);
}

std::vector<std::string> AddressesOffLoopback(const std::string& text) {
  static const std::regex kAddress(R"((https?)://(\[[^\]]*\]|[^/:'"\s<>?#]*))", std::regex::icase);
  static const std::regex kLoopback(R"(127(\.\d{1,3}){3}|localhost|\[::1\])", std::regex::icase);
  std::vector<std::string> found;
  for (std::sregex_iterator at(text.begin(), text.end(), kAddress), end; at != end; ++at) {
    if (!std::regex_match((*at)[2].str(), kLoopback)) found.push_back(at->str());
  }
  return found;
}

std::string ServiceFixture::Seal(const std::string& plain) {
  EXPECT_GE(sodium_init(), 0);
  std::string hex;
  EXPECT_TRUE(platform::ReadWholeFile(DefaultKeyDir() + "/service_public.hex", hex));
  std::array<unsigned char, crypto_box_PUBLICKEYBYTES> publicKey{};
  EXPECT_EQ(sodium_hex2bin(publicKey.data(), publicKey.size(), hex.data(), hex.size(), " \n",
                           nullptr, nullptr),
            0);
  std::string box(plain.size() + crypto_box_SEALBYTES, '\0');
  crypto_box_seal(reinterpret_cast<unsigned char*>(box.data()),
                  reinterpret_cast<const unsigned char*>(plain.data()), plain.size(),
                  publicKey.data());
  const int variant = sodium_base64_VARIANT_URLSAFE_NO_PADDING;
  std::string text(sodium_base64_encoded_len(box.size(), variant), '\0');
  sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(box.data()),
                    box.size(), variant);
  text.resize(text.find('\0'));
  return text;
}

Json::Value ServiceFixture::login(const std::string& loginId, const std::string& password) {
  return getJson("/auth/auth_verify.aspx?kind=0&user_id=" + Seal(loginId) +
                 "&pwd=" + Seal(password) + "&client_ver=3.1.0.0");
}

}  // namespace devservice
