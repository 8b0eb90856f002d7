// pawlane-gateway: serves the auth and REST endpoints over a local PostgreSQL.
//   PAWLANE_DATABASE_URL=<conninfo> [PAWLANE_JWT_SECRET=<secret>]
//   pawlane-gateway [--listen 127.0.0.1] [--port 0] [--ready-file <path>]
// Once it serves, the ready file holds the URL, the anon key and the secret as
// KEY=value lines.
#include "gateway.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace pawlane::gateway {

void sendJson(httplib::Response& res, int status, const Json& body) {
  res.status = status;
  res.set_content(body.dump(), "application/json; charset=utf-8");
}

std::string jsonString(const Json& object, const char* key) {
  if (!object.is_object()) return {};
  auto it = object.find(key);
  return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::string percentEncode(std::string_view text) {
  static const char* HEX = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += HEX[c >> 4];
      out += HEX[c & 15];
    }
  }
  return out;
}

namespace {

// Browsers open these without the project key, as on the hosted service.
bool openRoute(const httplib::Request& req) {
  return req.method == "GET" && (req.path == "/auth/v1/verify" || req.path == "/auth/v1/authorize");
}

bool validApiKey(Gateway& gw, const std::string& key) {
  Json claims;
  return !key.empty() && verifyJwt(key, gw.secret, claims) == JwtStatus::Valid &&
         jsonString(claims, "role") == "anon";
}

void stall(Gateway& gw) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(gw.settings.stallSeconds.load());
  // Turning the stall off releases requests already waiting.
  while (gw.settings.stallSeconds.load() > 0 && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

void addTestRoutes(httplib::Server& server, Gateway& gw) {
  server.Get("/_test/health", [&gw](const httplib::Request&, httplib::Response& res) {
    auto lease = gw.pool.acquire();
    bool ok = lease.get() && execSql(lease.get(), "select 1").ok();
    sendJson(res, ok ? 200 : 503, {{"ok", ok}});
  });

  server.Get("/_test/mailbox", [&gw](const httplib::Request& req, httplib::Response& res) {
    std::string email = req.get_param_value("email");
    for (char& c : email) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::lock_guard lock(gw.mailMutex);
    auto it = gw.mailbox.find(email);
    if (it == gw.mailbox.end()) return sendJson(res, 404, {{"message", "No mail for that address"}});
    sendJson(res, 200, {{"code", it->second.code}, {"link", it->second.link}});
  });

  server.Post("/_test/config", [&gw](const httplib::Request& req, httplib::Response& res) {
    Json body = Json::parse(req.body, nullptr, false);
    if (!body.is_object()) return sendJson(res, 400, {{"message", "Expected a JSON object"}});
    std::pair<const char*, std::atomic<int>*> knobs[] = {
        {"access_token_ttl", &gw.settings.accessTokenTtl},
        {"stall_seconds", &gw.settings.stallSeconds},
        {"flow_state_ttl", &gw.settings.flowStateTtl},
        {"otp_ttl", &gw.settings.otpTtl},
        {"refresh_reuse_interval", &gw.settings.refreshReuseInterval}};
    for (const auto& item : body.items()) {
      auto knob = std::find_if(std::begin(knobs), std::end(knobs),
                               [&](const auto& k) { return item.key() == k.first; });
      if (knob == std::end(knobs) || !item.value().is_number_integer() || item.value().get<long>() < 0 ||
          item.value().get<long>() > 1000000)
        return sendJson(res, 400, {{"message", "Unknown setting or bad value: " + item.key()}});
    }
    Json current;
    for (const auto& [key, value] : knobs) {
      if (body.contains(key)) value->store(body[key].get<int>());
      current[key] = value->load();
    }
    sendJson(res, 200, current);
  });
}

bool writeReadyFile(const std::string& path, const Gateway& gw) {
  std::string tmp = path + ".tmp";
  {
    std::ofstream out(tmp);
    out << "PAWLANE_SUPABASE_URL=" << gw.baseUrl << "\n"
        << "PAWLANE_SUPABASE_KEY=" << gw.anonKey << "\n"
        << "PAWLANE_JWT_SECRET=" << gw.secret << "\n"
        << "PAWLANE_GATEWAY_PID=" << getpid() << "\n";
    if (!out) return false;
  }
  chmod(tmp.c_str(), 0600);
  return std::rename(tmp.c_str(), path.c_str()) == 0;
}

int run(int argc, char** argv) {
  std::string host = "127.0.0.1", readyFile;
  int port = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string flag = argv[i];
    if (flag == "--listen") host = argv[i + 1];
    else if (flag == "--port") port = std::atoi(argv[i + 1]);
    else if (flag == "--ready-file") readyFile = argv[i + 1];
    else {
      std::cerr << "pawlane-gateway: unknown option " << flag << "\n";
      return 2;
    }
  }
  const char* db = std::getenv("PAWLANE_DATABASE_URL");
  if (!db) {
    std::cerr << "pawlane-gateway: set PAWLANE_DATABASE_URL\n";
    return 2;
  }
  const char* secret = std::getenv("PAWLANE_JWT_SECRET");
  Gateway gw(db, secret && *secret ? secret : randomToken(32));
  {
    auto lease = gw.pool.acquire();
    if (!lease.get() || !execSql(lease.get(), "select 1").ok()) {
      std::cerr << "pawlane-gateway: cannot reach the database\n";
      return 1;
    }
  }
  long now = unixNow();
  gw.anonKey = signJwt({{"iss", "supabase-demo"}, {"role", "anon"}, {"iat", now}, {"exp", now + 10L * 365 * 86400}},
                       gw.secret);

  httplib::Server server;
  server.new_task_queue = [] { return new httplib::ThreadPool(16); };
  server.set_pre_routing_handler([&gw](const httplib::Request& req, httplib::Response& res) {
    if (req.path.rfind("/_test/", 0) == 0) return httplib::Server::HandlerResponse::Unhandled;
    if (!openRoute(req)) {
      std::string key = req.has_header("apikey") ? req.get_header_value("apikey") : req.get_param_value("apikey");
      if (key.empty()) {
        sendJson(res, 401, {{"message", "No API key found in request"}});
        return httplib::Server::HandlerResponse::Handled;
      }
      if (!validApiKey(gw, key)) {
        sendJson(res, 401, {{"message", "Invalid API key"}});
        return httplib::Server::HandlerResponse::Handled;
      }
    }
    if (gw.settings.stallSeconds.load() > 0) stall(gw);
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
    sendJson(res, 500, {{"code", "unexpected_failure"}, {"message", "Internal error"}});
  });
  // Paths only: queries and bodies may carry codes and tokens.
  server.set_logger([](const httplib::Request& req, const httplib::Response& res) {
    std::cerr << req.method << " " << req.path << " " << res.status << "\n";
  });
  addTestRoutes(server, gw);
  addSignInRoutes(server, gw);
  addSessionRoutes(server, gw);
  addRestRoutes(server, gw);

  int bound = port ? (server.bind_to_port(host, port) ? port : -1) : server.bind_to_any_port(host);
  if (bound <= 0) {
    std::cerr << "pawlane-gateway: cannot listen on " << host << ":" << port << "\n";
    return 1;
  }
  gw.baseUrl = "http://" + host + ":" + std::to_string(bound);
  if (!readyFile.empty() && !writeReadyFile(readyFile, gw)) {
    std::cerr << "pawlane-gateway: cannot write " << readyFile << "\n";
    return 1;
  }
  std::cerr << "pawlane-gateway: serving " << gw.baseUrl << "\n";
  return server.listen_after_bind() ? 0 : 1;
}

}  // namespace
}  // namespace pawlane::gateway

int main(int argc, char** argv) { return pawlane::gateway::run(argc, argv); }
