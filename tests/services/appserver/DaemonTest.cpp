#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <asio.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>

#include "platform/db/Provider.h"
#include "services/appserver/AppServer.h"
#include "services/appserver/AppServerDaemon.h"
#include "services/appserver/RemoteServer.h"
#include "tests/services/appserver/TestBackends.h"

namespace {

using asio::ip::tcp;

class DaemonTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SKIP_WITHOUT_BACKEND(db);
        settings.Kind = GetParam() == TestBackend::SQLite ? TStorageKind::SQLite : TStorageKind::PostgreSQL;
        settings.DataFolder = db.Folder();
        settings.ConnInfo = db.ConnInfo();
        OpenCompanyDatabase(settings, db.Name());   // the daemon never creates databases
    }
    TDaemonOptions Options() const {
        TDaemonOptions o;
        o.Port = 0;
        o.Settings = settings;
        o.MaxFrame = 1u << 20;
        return o;
    }
    TRemoteOptions Login(uint16_t port, const char* user = "DS", const char* password = "demo") const {
        TRemoteOptions o;
        o.Port = port;
        o.Database = db.Name();
        o.User = user;
        o.Password = password;
        return o;
    }
    Variant RemoteConnect(uint16_t port, const char* user = "DS") const {
        Variant server(std::static_pointer_cast<IDispatch>(TRemoteServer::Connect(Login(port, user))));
        Variant params = Variant::ArrayOf({"TOVI58", user, "DEMO", db.Name(), true, true});
        EXPECT_EQ(0, server.Call("Connect", ByRef(params)).AsInt());
        return server;
    }
    // Sends raw bytes on a new connection and reports whether the server closed it.
    static bool ServerClosesAfter(uint16_t port, const std::string& bytes) {
        asio::io_context io;
        tcp::socket socket(io);
        socket.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
        asio::error_code ec;
        // The server may close before everything was sent: that is an answer too.
        asio::write(socket, asio::buffer(bytes), ec);
        socket.shutdown(tcp::socket::shutdown_send, ec);
        char buffer[4096];
        ec = {};
        while (!ec) socket.read_some(asio::buffer(buffer), ec);
        return ec == asio::error::eof || ec == asio::error::connection_reset || ec == asio::error::not_connected;
    }
    static void WaitForConnections(const TAppServerDaemon& daemon, int count) {
        for (int i = 0; i < 200 && daemon.ConnectionCount() != count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(count, daemon.ConnectionCount());
    }

    TTestDatabase db{GetParam()};
    TServerSettings settings;
};

TEST_P(DaemonTest, RemoteClientsCallTheSameObject) {
    TAppServerDaemon daemon(Options());
    daemon.Start();
    Variant first = RemoteConnect(daemon.Port());
    Variant second = RemoteConnect(daemon.Port(), "U1");
    EXPECT_NE(std::string::npos, first.Call("SvrData").AsString().find("M11_TABLE=AJSMB"));
    EXPECT_EQ(1, second.Call("whatis", "SQLTYPE").AsInt());

    TDataPacket p = DecodeDataPacket(first.Call("GetRecords", "pvdMain", 2, 0, Variant::ArrayOf({"", ""})));
    EXPECT_EQ(2, p.RowCount());
    EXPECT_FALSE(p.Eof);
    EXPECT_EQ(3, first.Call("GetRecCount").AsInt());

    // An edit through one connection; the other, holding the old row, is refused.
    TDataPacket stale = DecodeDataPacket(second.Call("GetRecords", "pvdMain", -1, 0, Variant()));
    auto edit = [&](const TDataPacket& packet, const char* remark) {
        TDelta delta;
        delta.Fields = packet.Fields;
        std::vector<Variant> old;
        for (int f = 0; f < packet.Fields.Count(); ++f) old.push_back(packet.Rows.At(0, f));
        Variant changed = Variant::CreateArray({VarBounds{0, packet.Fields.Count() - 1}});
        changed[packet.Fields.IndexOf("MB019")] = remark;
        delta.Changes = {{TUpdateKind::ukModify, Variant::ArrayOf(old), changed}};
        return delta;
    };
    Variant errors = -1;
    first.Call("ApplyUpdates", "pvdMain", EncodeDelta(edit(p, "远程")), 0, ByRef(errors));
    EXPECT_EQ(0, errors.AsInt());
    Variant result = second.Call("ApplyUpdates", "pvdMain", EncodeDelta(edit(stale, "晚了")), 0, ByRef(errors));
    EXPECT_EQ(1, errors.AsInt());
    EXPECT_EQ(kReconcileChanged, DecodeUpdateErrors(result).at(0).ErrorCode);

    // Server errors travel as errors; the connection stays usable.
    EXPECT_THROW(first.Call("SimpleSQL", "DELETE FROM AJSMB", ""), EOleError);
    EXPECT_THROW(first.Call("NoSuchMethod"), EOleError);
    EXPECT_EQ("远程", first.Call("SimpleSQL", "SELECT MB019 FROM AJSMB WHERE MB002 = 'K501'", "MB019")[0][0].AsString());
}

TEST_P(DaemonTest, UnauthenticatedClientsGetNothing) {
    TAppServerDaemon daemon(Options());
    daemon.Start();
    struct Case {
        const char* name;
        const char* user;
        const char* password;
        const char* database;
    };
    const std::string realDb = db.Name();
    const Case cases[] = {
        {"wrong password", "DS", "guess", nullptr},
        {"unknown user", "NOBODY", "demo", nullptr},
        {"unknown database", "DS", "demo", "NOSUCHDB"},
        {"database name as a path", "DS", "demo", "../DEMO"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TRemoteOptions o = Login(daemon.Port(), c.user, c.password);
        if (c.database) o.Database = c.database;
        EXPECT_THROW(TRemoteServer::Connect(o), ERemoteError);
    }
    // A call before logging in is not served: the connection is closed.
    const std::string hello = EncodeFrame(TFrameKind::Hello, {std::string(kWireGreeting), kWireVersion, kAppServerProgId});
    const std::string call = EncodeFrame(TFrameKind::Call, {"SimpleSQL", Variant::ArrayOf({"SELECT * FROM USERS", ""})});
    EXPECT_TRUE(ServerClosesAfter(daemon.Port(), hello + call));
    EXPECT_TRUE(ServerClosesAfter(daemon.Port(), call));
    WaitForConnections(daemon, 0);
}

TEST_P(DaemonTest, TheLookupServerIsServedAfterTheSameLogin) {
    TAppServerDaemon daemon(Options());
    daemon.Start();
    Variant server = RemoteConnect(daemon.Port());
    TRemoteOptions o = Login(daemon.Port());
    o.ServerName = "PikvaloS.Class1";
    Variant lookup(std::static_pointer_cast<IDispatch>(TRemoteServer::Connect(o)));
    EXPECT_EQ("PikvaloS.Class1 (remote)", lookup.AsDispatch()->DispatchName());
    WaitForConnections(daemon, 2);
    // It has no members: a call is an error of the object, not of the connection.
    for (int i = 0; i < 2; ++i) {
        try {
            lookup.Call("SimpleSQL", "SELECT USER_ID FROM USERS", "");
            ADD_FAILURE() << "the lookup server answered";
        } catch (const ERemoteError& e) {
            ADD_FAILURE() << e.Message();
        } catch (const EOleError& e) {
            EXPECT_NE(std::string::npos, std::string(e.Message()).find("Unknown name")) << e.Message();
        }
    }
    EXPECT_EQ(1, server.Call("WhatIs", "SQLTYPE").AsInt());

    o.Password = "guess";
    EXPECT_THROW(TRemoteServer::Connect(o), ERemoteError);
    o = Login(daemon.Port());
    o.ServerName = "Other.Class1";
    EXPECT_THROW(TRemoteServer::Connect(o), ERemoteError);
}

TEST_P(DaemonTest, BadFramesCloseOnlyTheirConnection) {
    TDaemonOptions options = Options();
    TAppServerDaemon daemon(options);
    daemon.Start();
    Variant survivor = RemoteConnect(daemon.Port());
    const std::string hello = EncodeFrame(TFrameKind::Hello, {std::string(kWireGreeting), kWireVersion, kAppServerProgId});
    std::string oversized = "\xff\xff\xff\x7f";
    std::string truncated = hello;
    truncated.resize(truncated.size() - 3);
    std::string lyingArray(4, '\0');
    lyingArray += char(TFrameKind::Hello);
    lyingArray += std::string("\x07\x01\x00\x00\x00\x00\xff\xff\xff\x7f", 10);   // an array of 2^31 elements
    const uint32_t length = static_cast<uint32_t>(lyingArray.size() - 4);
    std::memcpy(lyingArray.data(), &length, 4);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"garbage", "GET / HTTP/1.1\r\nHost: x\r\n\r\n"},
        {"oversized length", oversized},
        {"truncated frame", truncated},
        {"array larger than its frame", lyingArray},
        {"wrong version", EncodeFrame(TFrameKind::Hello, {std::string(kWireGreeting), 99, kAppServerProgId})},
        {"unknown server object", EncodeFrame(TFrameKind::Hello, {std::string(kWireGreeting), kWireVersion, "Other.Class1"})},
        {"garbage after hello", hello + std::string("\x05\x00\x00\x00\x05\xee\xee\xee\xee", 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(ServerClosesAfter(daemon.Port(), c.bytes));
        EXPECT_EQ("DS", survivor.Call("SimpleSQL", "SELECT USER_ID FROM USERS WHERE USER_ID = 'DS'", "")[0][0].AsString());
    }
    EXPECT_EQ(1, survivor.Call("WhatIs", "SQLTYPE").AsInt());
    WaitForConnections(daemon, 1);
}

TEST_P(DaemonTest, KillingTheDaemonDuringAnApplyKeepsAllOrNothing) {
    int ports[2];
    ASSERT_EQ(0, pipe(ports));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TAppServerDaemon daemon(Options());
        daemon.Start();
        const uint16_t port = daemon.Port();
        if (write(ports[1], &port, sizeof port) != sizeof port) _exit(1);
        for (;;) pause();
    }
    uint16_t port = 0;
    ASSERT_EQ(static_cast<ssize_t>(sizeof port), read(ports[0], &port, sizeof port));
    close(ports[0]);
    close(ports[1]);

    Variant server = RemoteConnect(port);
    TDataPacket p = DecodeDataPacket(server.Call("GetRecords", "pvdMain", 0, 0, Variant()));
    TDelta delta;
    delta.Fields = p.Fields;
    const int count = 20000;
    for (int i = 0; i < count; ++i) {
        Variant row = Variant::CreateArray({VarBounds{0, p.Fields.Count() - 1}});
        row[p.Fields.IndexOf("MB001")] = "K5";
        row[p.Fields.IndexOf("MB002")] = "X" + std::to_string(i);
        row[p.Fields.IndexOf("FLAG")] = 1;
        delta.Changes.push_back({TUpdateKind::ukInsert, {}, row});
    }
    const Variant encoded = EncodeDelta(delta);
    auto apply = std::async(std::launch::async, [&] {
        Variant errors = 0;
        server.Call("ApplyUpdates", "pvdMain", encoded, 0, ByRef(errors));
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    try {
        apply.get();
        ADD_FAILURE() << "the apply finished before the daemon was killed; nothing was tested";
    } catch (const ERemoteError& e) {
        EXPECT_NE(std::string::npos, std::string(e.Message()).find("lost")) << e.Message();
    }
    auto storage = db.Connect();
    const long long stored = storage->QueryValue("SELECT COUNT(*) FROM AJSMB WHERE MB002 LIKE 'X%'").AsInteger();
    EXPECT_TRUE(stored == 0 || stored == count) << stored;
}

TEST_P(DaemonTest, TlsByConfiguration) {
    const std::string folder = db.Folder().empty() ? ::testing::TempDir() : db.Folder();
    const std::string cert = folder + "/server.pem", key = folder + "/server.key";
    const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout " + key +
                                " -out " + cert + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "openssl cannot make a test certificate here";
    TDaemonOptions options = Options();
    options.TlsCertificateFile = cert;
    options.TlsPrivateKeyFile = key;
    TAppServerDaemon daemon(options);
    daemon.Start();
    TRemoteOptions login = Login(daemon.Port());
    login.Tls = true;
    login.TlsCaFile = cert;
    Variant server(std::static_pointer_cast<IDispatch>(TRemoteServer::Connect(login)));
    Variant params = Variant::ArrayOf({"TOVI58", "DS", "DEMO", db.Name(), true, true});
    EXPECT_EQ(0, server.Call("Connect", ByRef(params)).AsInt());
    EXPECT_EQ(1, server.Call("WhatIs", "SQLTYPE").AsInt());
    // A client speaking plain TCP to the TLS daemon gets nothing.
    EXPECT_THROW(TRemoteServer::Connect(Login(daemon.Port())), ERemoteError);
    std::remove(cert.c_str());
    std::remove(key.c_str());
}

INSTANTIATE_TEST_SUITE_P(Backends, DaemonTest, ::testing::ValuesIn(AllBackends()), BackendName);

TEST(WireProtocol, ValuesSurviveTheRoundTrip) {
    Variant nested = Variant::CreateArray({VarBounds{1, 2}, VarBounds{0, 1}});
    nested.At(1, 0) = "甲";
    nested.At(2, 1) = Variant::ArrayOf({1.5, Variant::Null(), true, TDateTime(45000.25)});
    const std::vector<Variant> values = {Variant(), Variant::Null(), 42, -7.25, std::string("a\0b", 3), nested};
    const std::string frame = EncodeFrame(TFrameKind::Result, values);
    const TFrame back = DecodeFrameBody(std::string_view(frame).substr(4));
    EXPECT_EQ(TFrameKind::Result, back.Kind);
    ASSERT_EQ(values.size(), back.Values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(values[i].Type(), back.Values[i].Type());
        EXPECT_TRUE(values[i] == back.Values[i]);
    }
    EXPECT_EQ(1, back.Values[5].LowBound(1));
    EXPECT_EQ(VarType::Date, back.Values[5].At(2, 1)[3].Type());
}

TEST(WireProtocol, HostileBytesFailCleanly) {
    const std::string cases[] = {
        std::string("\x05\x05\xff\xff\xff\xff", 6),                          // text longer than the frame
        std::string("\x05\x07\x03", 3),                                      // three dimensions
        std::string("\x05\x07\x01\x05\x00\x00\x00\x01\x00\x00\x00", 11),     // high below low
        std::string("\x05\x09", 2),                                          // unknown type
        std::string("\x63", 1),                                              // unknown frame kind
        std::string("\x05\x03\x01\x02", 4),                                  // truncated integer
    };
    for (const std::string& body : cases) EXPECT_THROW(DecodeFrameBody(body), EProtocolError);
    std::string deep = "\x05";
    for (int i = 0; i < 100; ++i) deep += std::string("\x07\x01\x00\x00\x00\x00\x00\x00\x00\x00", 10);
    deep += '\0';
    EXPECT_THROW(DecodeFrameBody(deep), EProtocolError);
    const unsigned char big[4] = {0x01, 0x00, 0x10, 0x00};
    EXPECT_THROW(FrameLength(big, 1024), EProtocolError);
}

}  // namespace
