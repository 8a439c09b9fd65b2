// SPDX-License-Identifier: MIT
#include "platform/sim/dialup/ras_error_texts.h"

#include <algorithm>
#include <array>

namespace nimbra::sim {

namespace {

struct ErrorText {
  uint32_t code;
  std::string_view english;
  std::string_view japanese;
};

// Sorted by code.
constexpr std::array kTexts{
    ErrorText{5,
              "Access is denied: this user may not run the PPP daemon (pppd). Add the user to "
              "the dip group.",
              "アクセスが拒否されました。このユーザーは PPP デーモン (pppd) を実行できません。"
              "ユーザーを dip グループに追加してください。"},
    ErrorText{6, "The handle given is not a valid connection.",
              "指定されたハンドルは有効な接続ではありません。"},
    ErrorText{602, "The port is already in use or is not set up for remote access dial-out.",
              "ポートは既に使用中か、リモート アクセスのダイヤル発信用に設定されていません。"},
    ErrorText{603, "The buffer given is too small.", "指定されたバッファが小さすぎます。"},
    ErrorText{608, "The device named does not exist on this computer.",
              "指定されたデバイスはこのコンピュータにありません。"},
    ErrorText{609, "The device type named does not exist.",
              "指定されたデバイスの種類はありません。"},
    ErrorText{619, "The port was disconnected.", "ポートが切断されました。"},
    ErrorText{621, "The phone book file cannot be opened.", "電話帳ファイルを開けません。"},
    ErrorText{623, "The phone book entry for this connection cannot be found.",
              "この接続の電話帳エントリが見つかりません。"},
    ErrorText{624, "The phone book file cannot be written.", "電話帳ファイルに書き込めません。"},
    ErrorText{628, "The connection was closed.", "接続が閉じられました。"},
    ErrorText{629, "The remote computer ended the connection.",
              "リモート コンピュータが接続を切断しました。"},
    ErrorText{630, "The modem was disconnected because of a hardware failure.",
              "ハードウェアの障害のためモデムが切断されました。"},
    ErrorText{631, "The user ended the connection.", "ユーザーが接続を切断しました。"},
    ErrorText{632, "The size of the structure given is not correct.",
              "指定された構造体のサイズが正しくありません。"},
    ErrorText{633, "The modem is already in use or is not set up for dialling out.",
              "モデムは既に使用中か、ダイヤル発信用に設定されていません。"},
    ErrorText{635, "An unknown error occurred.", "不明なエラーが発生しました。"},
    ErrorText{638, "The request timed out.", "要求がタイムアウトしました。"},
    ErrorText{645, "An internal authentication error occurred.", "内部認証エラーが発生しました。"},
    ErrorText{649, "The account has no permission to dial in.",
              "このアカウントにはダイヤルインの許可がありません。"},
    ErrorText{651, "The modem reported an error.", "モデムがエラーを報告しました。"},
    ErrorText{665,
              "The port is not configured for remote access: pppd refused its options. Check "
              "that /etc/ppp/peers/nimbra is installed.",
              "ポートがリモート アクセス用に構成されていません。pppd がオプションを受け付けま"
              "せんでした。/etc/ppp/peers/nimbra がインストールされているか確認してください。"},
    ErrorText{668, "The connection dropped.", "接続が切れました。"},
    ErrorText{676, "The line is busy.", "回線が話し中です。"},
    ErrorText{678, "The remote computer did not answer.",
              "リモート コンピュータが応答しませんでした。"},
    ErrorText{679, "No carrier was detected.", "キャリアを検出できませんでした。"},
    ErrorText{680, "No dial tone was detected.", "ダイヤル トーンを検出できませんでした。"},
    ErrorText{691,
              "Access was denied because the user name or password is not valid on the "
              "domain.",
              "ユーザー名またはパスワードがドメインで無効なため、アクセスが拒否されました。"},
    ErrorText{692, "A hardware failure occurred in the port or the attached device.",
              "ポートまたは接続されたデバイスでハードウェアの障害が発生しました。"},
    ErrorText{711,
              "The remote access service cannot start: the PPP daemon (pppd) is not installed.",
              "リモート アクセス サービスを開始できません。PPP デーモン (pppd) がインストールされて"
              "いません。"},
    ErrorText{718, "The remote computer did not answer in time during the PPP negotiation.",
              "PPP のネゴシエーション中にリモート コンピュータが時間内に応答しませんでした。"},
    ErrorText{720,
              "No PPP control protocols could be started: this computer's kernel has no PPP "
              "support (/dev/ppp).",
              "PPP 制御プロトコルを開始できません。このコンピュータのカーネルには PPP のサポート "
              "(/dev/ppp) がありません。"},
    ErrorText{734, "The PPP link control protocol was ended.",
              "PPP リンク制御プロトコルが終了しました。"},
    ErrorText{737, "A loopback was detected: the line returns what is sent.",
              "ループバックが検出されました。回線が送信したデータを返しています。"},
    ErrorText{777,
              "The connection failed because the modem on the remote computer is out of "
              "order.",
              "リモート コンピュータのモデムが故障しているため、接続できませんでした。"},
};

}  // namespace

std::optional<std::string_view> ras_error_text(uint32_t code, platform::Language language) {
  const auto it = std::lower_bound(kTexts.begin(), kTexts.end(), code,
                                   [](const ErrorText& t, uint32_t c) { return t.code < c; });
  if (it == kTexts.end() || it->code != code) return std::nullopt;
  return language == platform::Language::Japanese ? it->japanese : it->english;
}

}  // namespace nimbra::sim
