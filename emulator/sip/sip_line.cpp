#include "sip/sip_line.h"

#include <netinet/in.h>

#include <atomic>
#include <cstring>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include "host_trace.h"
#include "host/text.h"
#include "sip/audio_address.h"
#include "sip/caller_number.h"
#include "sip/dial_target.h"
#include "sip/info_body.h"
#include "sip/network_text.h"
#include "sip/outgoing_offer.h"
#include "sip/request_checks.h"
#include "sip/rtp_media.h"
#include "sip/sdp_offer.h"
#include "sip/re_stack.h"
#include "sip/stack_address.h"

namespace tovarin::emulator::sip {
namespace {

constexpr wchar_t kTracePart[] = L"sip";
constexpr char kSoftware[] = "tovarin-emu";
constexpr char kContactUser[] = "phone";
// The methods of kLineMethods (request_checks.h).
constexpr char kAllow[] = "Allow: INVITE, ACK, BYE, CANCEL, OPTIONS, INFO\r\n";

// What the line's queue carries from other threads.
constexpr int kQueuePhoneEvent = 1;  // data: a phone::CallEvent made with new
constexpr int kQueueStop = 2;
constexpr int kQueueDial = 3;  // data: a DialRequest made with new

// How long an outgoing call may ring unanswered before the phone gives it up.
constexpr uint64_t kNoAnswerMs = 60000;

// How long the line waits, when it stops, for its goodbyes to be answered.
constexpr uint64_t kStopGraceMs = 1000;

std::string Text(const pl& text) {
    return std::string(text.p != nullptr ? text.p : "", text.l);
}

std::wstring Wide(const std::string& text) {
    return kernel::Utf8ToWide(text);
}

// A request's method for the trace: a SIP token of a sensible length, or "?" for anything else
// the network sends there.
std::wstring MethodText(const sip_msg* msg) {
    const std::string method = Text(msg->met);
    const bool token = !method.empty() && method.size() <= 16 &&
                       method.find_first_not_of(
                           "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                           "-.!%*_+`'~") == std::string::npos;
    return token ? Wide(method) : L"?";
}

std::wstring Peer(const sip_msg* msg) {
    char address[64] = {};
    sa_ntop(&msg->src, address, sizeof address);
    return Wide(address) + L":" + std::to_wstring(sa_port(&msg->src));
}

// Where a request's offer may have the phone's audio (audio_address.h), from where it came.
AudioDecision AudioPlaceOf(const SdpOffer& offer, const sip_msg* msg) {
    const std::optional<IpAddress> source = IpAddressOf(msg->src);
    if (!source) {
        return {AudioPlace::Refused, "the request came from no address the line can read"};
    }
    return DecideAudioPlace(offer.address, *source, MachineAddresses());
}

// The caller sits behind an address translation when its request came from another address
// than the numeric one its Via names.
bool BehindTranslation(const sip_msg* msg) {
    const std::optional<IpAddress> said = IpAddressOf(msg->via.addr);
    const std::optional<IpAddress> source = IpAddressOf(msg->src);
    return said && source && *said != *source;
}

// The session description a message carries, read as an offer (or an answer, which reads alike).
std::optional<SdpOffer> DescriptionOf(const sip_msg* msg, std::string* error) {
    return ParseSdpOffer(
        std::string_view(reinterpret_cast<const char*>(mbuf_buf(msg->mb)), mbuf_get_left(msg->mb)),
        error);
}

// A session description as a message body; nullptr when there is no memory for it.
mbuf* BodyOf(const std::string& sdp) {
    mbuf* body = mbuf_alloc(sdp.size());
    if (body != nullptr) {
        mbuf_write_mem(body, reinterpret_cast<const uint8_t*>(sdp.data()), sdp.size());
        mbuf_set_pos(body, 0);
    }
    return body;
}

// A call on hold sends nothing: what the caller's direction would have the phone send is muted.
MediaDirection Held(MediaDirection direction) {
    return direction == MediaDirection::SendReceive ? MediaDirection::ReceiveOnly
           : direction == MediaDirection::SendOnly  ? MediaDirection::Inactive
                                                    : direction;
}

void Trace(const std::wstring& text) {
    HostTrace(kTracePart, text);
}

std::wstring DirectionText(MediaDirection direction) {
    switch (direction) {
        case MediaDirection::SendOnly:
            return L"the phone only sends";
        case MediaDirection::ReceiveOnly:
            return L"the phone only receives (held)";
        case MediaDirection::Inactive:
            return L"no audio (held)";
        case MediaDirection::SendReceive:
            break;
    }
    return L"both ways";
}

std::wstring DelayText(const std::optional<uint32_t>& ms) {
    return ms ? std::to_wstring(*ms) + L" ms" : L"-";
}

std::wstring CallerText(const std::wstring& number) {
    return number.empty() ? L"a withheld number" : number;
}

// An outgoing call the phone has placed, on its way to the line's thread.
struct DialRequest {
    phone::CallId id;
    DialTarget target;
    std::wstring dialled;  // as the user dialled it, for the trace and the call screen
};

// The events the phone tells from its own thread, on their way to the line's thread. Closed
// before the queue goes, so that a late event is dropped, not pushed into a freed queue.
struct Inbox {
    std::mutex mutex;
    mqueue* queue = nullptr;
    // The line's calls are numbered from 1, on the line's thread for incoming calls and on the
    // phone's for outgoing ones.
    std::atomic<phone::CallId> next_call_id = 1;

    void Push(const phone::CallEvent& event) { PushCopy(kQueuePhoneEvent, event); }
    // False when the line is gone.
    bool Push(const DialRequest& request) { return PushCopy(kQueueDial, request); }

  private:
    template <class Item>
    bool PushCopy(int id, const Item& item) {
        std::lock_guard lock(mutex);
        if (queue == nullptr) {
            return false;
        }
        auto* copy = new Item(item);
        if (mqueue_push(queue, id, copy) != 0) {
            delete copy;
            return false;
        }
        return true;
    }
};

}  // namespace

// Everything below runs on the line's thread, inside the SIP stack's event loop, except Start
// (before) and Stop (from the thread that ends the line).
class SipLine::Agent {
  public:
    Agent(SipAddress address, phone::PhoneApplication& phone)
        : address_(std::move(address)), phone_(phone), inbox_(std::make_shared<Inbox>()) {}

    bool Start(SipAddress* bound, std::string* error) {
        std::promise<std::string> started;
        std::future<std::string> result = started.get_future();
        thread_ = std::thread([this, &started] { Run(started); });
        *error = result.get();
        if (!error->empty()) {
            thread_.join();
            return false;
        }
        *bound = address_;
        std::shared_ptr<Inbox> inbox = inbox_;
        phone_.SetCallObserver([inbox](const phone::CallEvent& event) { inbox->Push(event); });
        phone_.SetDialler([inbox](const std::wstring& address, phone::CallId* call) {
            return PlaceCall(*inbox, address, call);
        });
        return true;
    }

    void Stop() {
        phone_.SetDialler({});
        phone_.SetCallObserver({});
        {
            std::lock_guard lock(inbox_->mutex);
            if (inbox_->queue != nullptr) {
                mqueue_push(inbox_->queue, kQueueStop, nullptr);
            }
        }
        if (thread_.joinable()) {
            thread_.join();
        }
    }

  private:
    struct Call {
        Agent* agent = nullptr;
        phone::CallId id = 0;
        sipsess* session = nullptr;
        std::wstring number;
        std::wstring peer;
        SdpOffer offer;
        MediaChoice choice;
        std::string answer_host;       // the phone's address in its answers
        bool on_this_machine = false;  // the request came over loopback
        bool translated = false;       // the caller sits behind an address translation
        std::unique_ptr<RtpMedia> media;
        bool answered = false;      // 200 OK sent (received, for an outgoing call)
        bool far_end_gone = false;  // the caller cancelled or hung up, or the dialog failed
        bool outgoing = false;      // the phone called out; number is the dialled address
        tmr no_answer{};            // an outgoing call's ringing time
    };

    void Run(std::promise<std::string>& started) {
        static std::once_flag library_once;
        std::call_once(library_once, [] { libre_init(); });
        re_thread_init();
        std::string error = Listen();
        started.set_value(error);
        if (error.empty()) {
            re_main(nullptr);
        }
        for (auto& [id, call] : calls_) {
            call->media.reset();
            mem_deref(call->session);
        }
        calls_.clear();
        {
            std::lock_guard lock(inbox_->mutex);
            mem_deref(inbox_->queue);
            inbox_->queue = nullptr;
        }
        tmr_cancel(&stop_timer_);
        // What the grace second left open (a session whose 200 OK still waits for its ACK)
        // ends now, so that nothing of the stack outlives the line.
        if (session_socket_ != nullptr) {
            sipsess_close_all(session_socket_);
        }
        mem_deref(session_socket_);
        mem_deref(listener_);
        mem_deref(sip_);
        re_thread_close();
    }

    // Opens the SIP socket; an empty string when the line listens.
    std::string Listen() {
        const std::optional<IpAddress> host = ParseIpAddress(address_.host);
        if (!host) {
            return "'" + address_.host + "' is no address to listen on";
        }
        int err = sip_alloc(&sip_, nullptr, 32, 32, 32, kSoftware, &Agent::OnSipExit, this);
        const std::vector<IpAddress> addresses = ListeningAddresses(*host, MachineAddresses());
        if (err == 0 && addresses.empty()) {
            err = EADDRNOTAVAIL;
        }
        // Every address on one port: the first one's, when any free port was asked for.
        for (size_t i = 0; err == 0 && i < addresses.size(); ++i) {
            sa local;
            err = sa_set_str(&local, IpAddressText(addresses[i]).c_str(), address_.port);
            if (err == 0) {
                err = sip_transp_add(sip_, SIP_TRANSP_UDP, &local);
            }
            sa bound;
            if (err == 0 && sip_transp_laddr(sip_, &bound, SIP_TRANSP_UDP, nullptr) == 0) {
                address_.port = sa_port(&bound);
            }
        }
        if (err != 0) {
            return "cannot listen for SIP on " + SipAddressText(address_) + ": " +
                   std::strerror(err);
        }
        // The line's own look at every request comes before the session layer's.
        mqueue* queue = nullptr;
        if (sip_listen(&listener_, sip_, true, &Agent::OnRequest, this) != 0 ||
            sipsess_listen(&session_socket_, sip_, 32, &Agent::OnInvite, this) != 0 ||
            mqueue_alloc(&queue, &Agent::OnQueue, this) != 0) {
            return "cannot start the SIP line";
        }
        std::lock_guard lock(inbox_->mutex);
        inbox_->queue = queue;
        return {};
    }

    // --- requests from the network ---

    static bool OnRequest(const sip_msg* msg, void* arg) {
        return static_cast<Agent*>(arg)->CheckRequest(msg);
    }

    // True when the line has answered the request itself (it was malformed, or is one the
    // line answers outside a dialog); false hands it on to the session layer.
    bool CheckRequest(const sip_msg* msg) {
        const RequestProblem problem = CheckSipRequest(msg);
        if (problem.code != 0) {
            if (msg->via.sentby.l == 0) {
                return true;  // nowhere to answer: dropped
            }
            Refuse(msg, problem.code, problem.reason, problem.detail);
            return true;
        }
        if (pl_strcmp(&msg->met, "OPTIONS") == 0) {
            sip_treplyf(nullptr, nullptr, sip_, msg, false, 200, "OK",
                        "%sAccept: application/sdp\r\nContent-Length: 0\r\n\r\n", kAllow);
            return true;
        }
        return false;
    }

    static void OnInvite(const sip_msg* msg, void* arg) { static_cast<Agent*>(arg)->Invite(msg); }

    void Invite(const sip_msg* msg) {
        const std::wstring peer = Peer(msg);
        std::string sdp_error;
        std::optional<SdpOffer> offer;
        if (mbuf_get_left(msg->mb) > 0) {
            offer = DescriptionOf(msg, &sdp_error);
        } else {
            sdp_error = "the INVITE carries no session description";
        }
        if (!offer) {
            // A malformed description was refused before; this is an INVITE without one.
            Refuse(msg, 488, "Not Acceptable Here", sdp_error);
            return;
        }
        const AudioDecision place = AudioPlaceOf(*offer, msg);
        if (place.place != AudioPlace::Caller) {
            Refuse(msg, 488, "Not Acceptable Here",
                   place.place == AudioPlace::Hold
                       ? "the offer holds the call before it is answered (no address for audio)"
                       : place.reason);
            return;
        }
        std::optional<MediaChoice> choice = ChooseMedia(*offer);
        if (!choice) {
            Refuse(msg, 488, "Not Acceptable Here",
                   "none of the offered codecs is AMR, PCMU or PCMA on RTP");
            return;
        }
        if (calls_.size() >= kMaxSipDialogs) {
            Refuse(msg, 486, "Busy Here",
                   "the line has " + std::to_string(kMaxSipDialogs) + " calls already");
            return;
        }
        auto call = std::make_unique<Call>();
        call->agent = this;
        call->id = inbox_->next_call_id++;
        call->number = CallerNumberOf(Text(msg->from.uri.user));
        call->peer = peer;
        call->offer = *offer;
        call->choice = *choice;
        call->answer_host = AnswerHost(address_.host, msg->dst);
        call->on_this_machine = IpAddressOf(msg->src)->IsLoopback();
        call->translated = BehindTranslation(msg);
        // The phone rings, or takes it as the second call during a call; otherwise it is busy.
        bool second = false;
        phone::CallError rang = phone_.Carry(phone::CallAction::Incoming, call->number, call->id);
        if (rang == phone::CallError::CallPresent) {
            second = true;
            rang = phone_.Carry(phone::CallAction::Second, call->number, call->id);
        }
        if (rang != phone::CallError::None) {
            Refuse(msg, 486, "Busy Here", phone::CallErrorText(rang));
            return;
        }
        Call* record = call.get();
        calls_[call->id] = std::move(call);
        const int err = sipsess_accept(
            &record->session, session_socket_, msg, 180, "Ringing", kContactUser, "application/sdp",
            nullptr, nullptr, nullptr, false, &Agent::OnOffer, &Agent::OnAnswer,
            &Agent::OnEstablished, &Agent::OnInfo, nullptr, &Agent::OnClose, record, "%s", kAllow);
        if (err != 0) {
            Trace(L"INVITE from " + peer + L" cannot be taken: " + Wide(std::strerror(err)));
            sip_treply(nullptr, sip_, msg, 500, "Server Internal Error");
            record->far_end_gone = true;
            Leave(*record);
            return;
        }
        Trace(L"INVITE from " + CallerText(record->number) + L" at " + peer +
              (second ? L" waits as the second call" : L" rings the phone") + L" (" +
              Wide(VoiceCodecName(record->choice.codec)) + L" offered first)");
    }

    void Refuse(const sip_msg* msg, uint16_t code, const char* reason, const std::string& why) {
        Trace(MethodText(msg) + L" from " + Peer(msg) + L" refused with " + std::to_wstring(code) +
              L": " + Wide(why));
        // A method the line does not take is answered with the ones it does.
        if (code == 501) {
            sip_treplyf(nullptr, nullptr, sip_, msg, false, code, reason,
                        "%sContent-Length: 0\r\n\r\n", kAllow);
            return;
        }
        sip_treply(nullptr, sip_, msg, code, reason);
    }

    // A re-INVITE with a new offer (hold, a new address): the phone answers it with the codec
    // it already sends when the caller still offers it.
    static int OnOffer(mbuf** description, const sip_msg* msg, void* arg) {
        auto* call = static_cast<Call*>(arg);
        std::string error;
        std::optional<SdpOffer> offer = DescriptionOf(msg, &error);
        AudioDecision place;
        if (offer) {
            place = AudioPlaceOf(*offer, msg);
            if (place.place == AudioPlace::Refused) {
                error = place.reason;
                offer.reset();
            }
        }
        std::optional<MediaChoice> choice = offer ? ChooseMedia(*offer) : std::nullopt;
        if (!choice || !call->media) {
            Trace(L"new offer from " + call->peer + L" refused: " +
                  Wide(error.empty() ? "no codec the phone takes" : error));
            return EPROTO;
        }
        if (place.place == AudioPlace::Hold) {
            choice->direction = Held(choice->direction);
        } else {
            call->offer = *offer;
            call->media->ExpectFrom(call->agent->SourceOf(*call));
        }
        call->choice = *choice;
        std::string start_error;
        if (!call->media->Start(*choice, *offer, &start_error)) {
            Trace(L"new offer from " + CallerText(call->number) + L" refused: " +
                  Wide(start_error));
            return EPROTO;
        }
        Trace(L"new offer from " + CallerText(call->number) + L" answered: " +
              Wide(VoiceCodecName(choice->codec)) + L", " + DirectionText(choice->direction));
        return call->agent->Describe(*call, description);
    }

    static int OnAnswer(const sip_msg*, void*) { return 0; }

    static void OnEstablished(const sip_msg*, void* arg) {
        auto* call = static_cast<Call*>(arg);
        if (call->media) {
            call->media->Confirm();
        }
        Trace(L"call with " + CallerText(call->number) + L" established");
    }

    // Key presses sent as SIP INFO (application/dtmf-relay) are taken and traced like RTP
    // telephone events.
    static void OnInfo(struct sip* sip, const sip_msg* msg, void* arg) {
        auto* call = static_cast<Call*>(arg);
        const std::optional<char> key = KeyOfInfoBody(std::string_view(
            reinterpret_cast<const char*>(mbuf_buf(msg->mb)), mbuf_get_left(msg->mb)));
        if (key) {
            Trace(L"key " + std::wstring(1, static_cast<wchar_t>(*key)) + L" from " +
                  CallerText(call->number) + L" (SIP INFO)");
        }
        sip_treply(nullptr, sip, msg, 200, "OK");
    }

    static void OnClose(int err, const sip_msg* msg, void* arg) {
        auto* call = static_cast<Call*>(arg);
        std::wstring how;
        // The stack reports a BYE and a CANCEL alike; which it was shows in the call's state.
        if (err == ECONNRESET || (err == 0 && msg != nullptr)) {
            how = call->answered ? L"hung up" : L"cancelled the call";
        } else {
            how = L"is gone (" + Wide(std::strerror(err)) + L")";
        }
        Trace(L"the caller " + CallerText(call->number) + L" " + how);
        call->far_end_gone = true;
        call->agent->Leave(*call);
    }

    // The caller is gone: the phone is told; its answer (a missed or ended call) comes back as
    // an event that forgets the call.
    void Leave(Call& call) {
        const phone::CallError left = phone_.Carry(phone::CallAction::Leave, L"", call.id);
        if (left == phone::CallError::PhoneUnreachable) {
            Forget(call.id);
        }
    }

    // --- calls the phone places ---

    // On the phone's thread: reads the dialled address and hands the call to the line's thread,
    // which sends the INVITE.
    static phone::CallError PlaceCall(Inbox& inbox, const std::wstring& address,
                                      phone::CallId* call) {
        std::string error;
        const std::optional<DialTarget> target =
            ParseDialTarget(kernel::WideToUtf8(address), &error);
        if (!target) {
            Trace(L"cannot dial " + address + L": " + Wide(error));
            return phone::CallError::BadAddress;
        }
        const DialRequest request{inbox.next_call_id++, *target, address};
        if (!inbox.Push(request)) {
            return phone::CallError::NoWayToDial;
        }
        *call = request.id;
        return phone::CallError::None;
    }

    void CallOut(const DialRequest& request) {
        auto call = std::make_unique<Call>();
        call->agent = this;
        call->id = request.id;
        call->number = request.dialled;
        call->peer = Wide(SipAddressText(request.target.address));
        call->outgoing = true;
        call->on_this_machine =
            ParseIpAddress(request.target.address.host).value_or(IpAddress{}).IsLoopback();
        call->answer_host = OutgoingHost(request.target);
        Call* record = call.get();
        calls_[record->id] = std::move(call);
        const std::string error = SendInvite(*record, request.target);
        if (!error.empty()) {
            Trace(L"cannot call " + record->number + L": " + Wide(error));
            record->far_end_gone = true;
            Leave(*record);
            return;
        }
        tmr_start(&record->no_answer, kNoAnswerMs, &Agent::OnNoAnswer, record);
        Trace(L"INVITE to " + record->number + L" (AMR-NB offered first, RTP port " +
              std::to_wstring(record->media->port()) + L")");
    }

    // The phone's own address in its offer: the one the line listens on, or, for a line on every
    // address, loopback when it calls this machine and its first other address otherwise.
    std::string OutgoingHost(const DialTarget& target) const {
        const std::optional<IpAddress> listening = ParseIpAddress(address_.host);
        const std::optional<IpAddress> called = ParseIpAddress(target.address.host);
        if (listening && !listening->IsUnspecified()) {
            return address_.host;
        }
        if (called && !called->IsLoopback()) {
            for (const IpAddress& own : MachineAddresses()) {
                if (own.ipv6 == called->ipv6 && !own.IsLoopback() && !own.IsUnspecified()) {
                    return IpAddressText(own);
                }
            }
        }
        return called && called->ipv6 ? "::1" : kLoopbackAddress;
    }

    // An empty string when the INVITE is on its way.
    std::string SendInvite(Call& call, const DialTarget& target) {
        if (calls_.size() > kMaxSipDialogs) {
            return "the line has " + std::to_string(kMaxSipDialogs) + " calls already";
        }
        std::string error;
        call.media = RtpMedia::Open(call.answer_host, call.number, &error);
        if (!call.media) {
            return error;
        }
        const std::string sdp = MakeSdpOffer(call.answer_host, call.media->port(), call.id);
        mbuf* offer = BodyOf(sdp);
        if (offer == nullptr) {
            return std::strerror(ENOMEM);
        }
        const std::string to = DialTargetUri(target);
        const std::string from = "sip:" + std::string(kContactUser) + "@" +
                                 SipAddressText(SipAddress{call.answer_host, address_.port});
        const int err = sipsess_connect(
            &call.session, session_socket_, to.c_str(), kSoftware, from.c_str(), kContactUser,
            nullptr, 0, "application/sdp", offer, nullptr, nullptr, false, &Agent::OnOffer,
            &Agent::OnCalledAnswer, &Agent::OnCalledProgress, &Agent::OnCalledEstablished,
            &Agent::OnInfo, nullptr, &Agent::OnCalledClose, &call, "%s", kAllow);
        mem_deref(offer);
        return err != 0 ? std::strerror(err) : std::string();
    }

    // The called party's answer to the offer: the audio starts toward it, as toward a caller.
    static int OnCalledAnswer(const sip_msg* msg, void* arg) {
        auto* call = static_cast<Call*>(arg);
        std::string error;
        std::optional<SdpOffer> answer = DescriptionOf(msg, &error);
        if (answer) {
            const AudioDecision place = AudioPlaceOf(*answer, msg);
            if (place.place == AudioPlace::Refused) {
                error = place.reason;
                answer.reset();
            }
        }
        const std::optional<MediaChoice> choice = answer ? ChooseMedia(*answer) : std::nullopt;
        if (!choice) {
            Trace(L"the answer of " + call->number + L" is refused: " +
                  Wide(error.empty() ? "no codec the phone takes" : error));
            return EPROTO;
        }
        call->offer = *answer;
        call->choice = *choice;
        call->media->ExpectFrom(call->agent->SourceOf(*call));
        if (!call->media->Start(*choice, *answer, &error)) {
            Trace(L"the answer of " + call->number + L" is refused: " + Wide(error));
            return EPROTO;
        }
        return 0;
    }

    static void OnCalledProgress(const sip_msg* msg, void* arg) {
        auto* call = static_cast<Call*>(arg);
        Trace(std::to_wstring(msg->scode) + L" " + Wide(PrintableText(Text(msg->reason))) +
              L" from " + call->number);
    }

    static void OnCalledEstablished(const sip_msg*, void* arg) {
        auto* call = static_cast<Call*>(arg);
        tmr_cancel(&call->no_answer);
        call->answered = true;
        if (call->offer.audio_port == 0) {
            Trace(L"the called party " + call->number + L" answered with no audio in common");
            call->agent->Leave(*call);
            return;
        }
        call->media->Confirm();
        Trace(L"the called party " + call->number + L" answered: " +
              Wide(VoiceCodecName(call->choice.codec)) + L", RTP port " +
              std::to_wstring(call->media->port()) + L" to " + Wide(call->offer.address) + L":" +
              std::to_wstring(call->offer.audio_port));
        call->agent->phone_.Carry(phone::CallAction::Reach, L"", call->id);
    }

    static void OnCalledClose(int err, const sip_msg* msg, void* arg) {
        auto* call = static_cast<Call*>(arg);
        tmr_cancel(&call->no_answer);
        std::wstring how;
        if (msg != nullptr && !msg->req && msg->scode >= 300) {
            how = L"refused the call: " + std::to_wstring(msg->scode) + L" " +
                  Wide(PrintableText(Text(msg->reason)));
        } else if (err == ETIMEDOUT) {
            how = L"did not answer (the INVITE timed out)";
        } else if (err == ECONNRESET || (err == 0 && msg != nullptr)) {
            how = call->answered ? L"hung up" : L"ended the call before it was answered";
        } else {
            how = L"is gone (" + Wide(std::strerror(err)) + L")";
        }
        Trace(L"the called party " + call->number + L" " + how);
        call->far_end_gone = true;
        call->agent->Leave(*call);
    }

    // Nobody answered in time: the phone gives the call up and the line cancels it.
    static void OnNoAnswer(void* arg) {
        auto* call = static_cast<Call*>(arg);
        Trace(L"no answer from " + call->number + L" in " + std::to_wstring(kNoAnswerMs / 1000) +
              L" s: the phone gives the call up");
        call->agent->Leave(*call);
    }

    // --- what the phone does ---

    static void OnQueue(int id, void* data, void* arg) {
        auto* agent = static_cast<Agent*>(arg);
        if (id == kQueueStop) {
            agent->HangUpAll();
            return;
        }
        if (id == kQueueDial) {
            std::unique_ptr<DialRequest> request(static_cast<DialRequest*>(data));
            agent->CallOut(*request);
            return;
        }
        std::unique_ptr<phone::CallEvent> event(static_cast<phone::CallEvent*>(data));
        if (event) {
            agent->PhoneDid(*event);
        }
    }

    void PhoneDid(const phone::CallEvent& event) {
        auto found = calls_.find(event.call);
        if (found == calls_.end()) {
            return;  // a console call, or one the line has forgotten
        }
        Call& call = *found->second;
        switch (event.kind) {
            case phone::CallEventKind::Connected:
                Answer(call);
                break;
            case phone::CallEventKind::Missed:
            case phone::CallEventKind::SecondEnded:
                if (!call.far_end_gone && !call.answered) {
                    Trace(L"480 Temporarily Unavailable to " + CallerText(call.number));
                    sipsess_reject(call.session, 480, "Temporarily Unavailable", nullptr);
                }
                Forget(call.id);
                break;
            case phone::CallEventKind::Ended:
                if (!call.far_end_gone) {
                    Trace((call.outgoing && !call.answered ? L"CANCEL to " : L"BYE to ") +
                          CallerText(call.number));
                }
                Forget(call.id);  // the session sends BYE as it goes
                break;
            case phone::CallEventKind::Rings:
            case phone::CallEventKind::Answered:
            case phone::CallEventKind::SecondWaits:
            case phone::CallEventKind::Dials:
                break;
        }
    }

    void Answer(Call& call) {
        if (call.far_end_gone || call.answered) {
            return;
        }
        std::string error;
        call.media = RtpMedia::Open(MediaHost(call), call.number, &error);
        mbuf* description = nullptr;
        if (call.media) {
            call.media->ExpectFrom(SourceOf(call));
        }
        if (!call.media || !call.media->Start(call.choice, call.offer, &error) ||
            Describe(call, &description) != 0) {
            Trace(L"cannot answer " + CallerText(call.number) + L": " + Wide(error));
            sipsess_reject(call.session, 500, "Server Internal Error", nullptr);
            call.far_end_gone = true;
            call.media.reset();
            Leave(call);
            return;
        }
        const int err = sipsess_answer(call.session, 200, "OK", description, nullptr);
        mem_deref(description);
        if (err != 0) {
            Trace(L"cannot answer " + CallerText(call.number) + L": " + Wide(std::strerror(err)));
            call.far_end_gone = true;
            call.media.reset();
            Leave(call);
            return;
        }
        call.answered = true;
        Trace(L"200 OK to " + CallerText(call.number) + L": " +
              Wide(VoiceCodecName(call.choice.codec)) + L", RTP port " +
              std::to_wstring(call.media->port()) + L" to " + Wide(call.offer.address) + L":" +
              std::to_wstring(call.offer.audio_port));
    }

    // The phone's RTP goes out from the answer's address; a caller on this machine that offers
    // an address of the other family is sent to from that family's loopback address.
    static std::string MediaHost(const Call& call) {
        const bool ipv6 = call.answer_host.find(':') != std::string::npos;
        if (call.on_this_machine && call.offer.ipv6 != ipv6) {
            return call.offer.ipv6 ? "::1" : kLoopbackAddress;
        }
        return call.answer_host;
    }

    // Where the caller's packets may come from: the offer's address and port, or for a caller
    // on this machine any of its addresses with that port.
    RtpSource SourceOf(const Call& call) const {
        RtpSource source;
        source.address = ParseIpAddress(call.offer.address).value_or(IpAddress{});
        source.port = call.offer.audio_port;
        if (call.on_this_machine) {
            source.same_host = MachineAddresses();
        }
        source.translated = call.translated;
        return source;
    }

    int Describe(const Call& call, mbuf** description) {
        const std::string sdp =
            MakeSdpAnswer(call.choice, MediaHost(call), call.media->port(), call.id);
        *description = BodyOf(sdp);
        return *description != nullptr ? 0 : ENOMEM;
    }

    // Drops the line's record of a call. Never from inside one of the session's own handlers:
    // the session may still be in use there.
    void Forget(phone::CallId id) {
        auto found = calls_.find(id);
        if (found == calls_.end()) {
            return;
        }
        Call& call = *found->second;
        if (call.media) {
            const RtpFigures figures = call.media->figures();
            Trace(L"audio with " + CallerText(call.number) + L": " + std::to_wstring(figures.sent) +
                  L" packets sent, " + std::to_wstring(figures.received) + L" received, " +
                  std::to_wstring(figures.lost) + L" lost, " + std::to_wstring(figures.late) +
                  L" late, " + std::to_wstring(figures.dropped) +
                  L" from elsewhere dropped; delay in the phone " +
                  DelayText(figures.to_caller_delay_ms) + L" to the caller, " +
                  DelayText(figures.from_caller_delay_ms) + L" from the caller");
        }
        tmr_cancel(&call.no_answer);
        call.media.reset();
        mem_deref(call.session);
        calls_.erase(found);
    }

    // The line stops: connected callers get BYE, ringing ones 503; then the stack closes, with a
    // second for the answers.
    void HangUpAll() {
        phone_.SetDialler({});
        phone_.SetCallObserver({});
        for (auto& [id, call] : calls_) {
            tmr_cancel(&call->no_answer);
            if (!call->far_end_gone && !call->answered && !call->outgoing) {
                sipsess_reject(call->session, 503, "Service Unavailable", nullptr);
            }
            call->media.reset();
            call->session = static_cast<sipsess*>(mem_deref(call->session));
        }
        calls_.clear();
        sip_close(sip_, false);
        tmr_start(
            &stop_timer_, kStopGraceMs, [](void*) { re_cancel(); }, nullptr);
    }

    static void OnSipExit(void*) { re_cancel(); }

    SipAddress address_;
    phone::PhoneApplication& phone_;
    std::shared_ptr<Inbox> inbox_;
    std::thread thread_;
    // The stack's objects, on the line's thread only.
    struct sip* sip_ = nullptr;
    sip_lsnr* listener_ = nullptr;
    sipsess_sock* session_socket_ = nullptr;
    tmr stop_timer_{};
    std::map<phone::CallId, std::unique_ptr<Call>> calls_;
};

std::unique_ptr<SipLine> SipLine::Start(const SipAddress& address, phone::PhoneApplication& phone,
                                        std::string* error) {
    std::unique_ptr<SipLine> line(new SipLine());
    line->agent_ = std::make_unique<Agent>(address, phone);
    if (!line->agent_->Start(&line->address_, error)) {
        return nullptr;
    }
    const std::wstring where = Wide(SipAddressText(line->address_));
    Trace(L"listening on " + where + L" (UDP): call sip:" + Wide(kContactUser) + L"@" + where);
    return line;
}

SipLine::~SipLine() {
    if (agent_) {
        agent_->Stop();
    }
}

}  // namespace tovarin::emulator::sip
