#include "Japanesemessages.h"

namespace vesk {

QString JapanesePhrase(TMessageId id)
{
    switch (id) {
    case TMessageId::Value:
        return QStringLiteral("%1");
    case TMessageId::NestedTooDeep:
        return QStringLiteral("グループの入れ子が %1 段より深くなっています。"
                              "このまま保存すると、ファイルを正しく読み戻せません。");
    case TMessageId::LayerReport:
        return QStringLiteral("レイヤー「%1」: %2");
    case TMessageId::NoSuchLayer:
        return QStringLiteral("レイヤー %1 はありません");
    case TMessageId::CannotCreate:
        return QStringLiteral("%1 を作れません: %2");
    case TMessageId::CannotWrite:
        return QStringLiteral("%1 に書き込めません: %2");
    case TMessageId::FileOfAnotherLayer:
        return QStringLiteral(
            "%1 は同じ出力で別のレイヤーが書き出しました。どちらかのレイヤーの名前を変えてください");
    case TMessageId::FileNotOpen:
        return QStringLiteral("ファイルが書き込み用に開かれていません");
    case TMessageId::NothingWritten:
        return QStringLiteral("%1。何も書き出していません");
    case TMessageId::PointOutOfRange:
        return QStringLiteral("点 (%1 mm, %2 mm) がガーバの座標範囲 -%3 ～ %3 mm の外にあります");
    case TMessageId::ApertureTooLarge:
        return QStringLiteral("%1 mm のアパーチャ (線幅またはフラッシュの大きさ) は書き出せません。"
                              "%2 mm 未満の大きさにしてください");
    case TMessageId::HatchBelowResolution:
        return QStringLiteral("線幅 %1 mm で塗りつぶすと、ハッチングの線の間隔がファイルの分解能 0.001 mm "
                              "より狭くなります。図形の線を太くするか、線なしにしてください");
    case TMessageId::TooManyHatchLines:
        return QStringLiteral(
            "%1 × %2 mm の図形を線幅 %3 mm で塗りつぶすと、ハッチングの線が %4 本を超えます");
    case TMessageId::ShapeLeftOut:
        return QStringLiteral(
            "レイヤー「%1」: (%4 mm, %5 mm) の%2%3は%6ため、ドリルファイルに入れていません");
    case TMessageId::ShapeName:
        return QStringLiteral("「%1」");
    case TMessageId::ShapeEllipse:
        return QStringLiteral("楕円");
    case TMessageId::ShapeRectangle:
        return QStringLiteral("四角形");
    case TMessageId::ShapePath:
        return QStringLiteral("パス");
    case TMessageId::ShapeText:
        return QStringLiteral("文字列");
    case TMessageId::IsCutOut:
        return QStringLiteral("切り抜きの");
    case TMessageId::NotRound:
        return QStringLiteral("円でない");
    case TMessageId::NeitherStrokeNorCircle:
        return QStringLiteral("丸端の直線でも円でもない");
    case TMessageId::NeitherRoundNorOblong:
        return QStringLiteral("円でも長穴でもない");
    case TMessageId::NothingToDrill:
        return QStringLiteral("%1: ドリルする穴がないため、書き出していません");
    }
    return QString();
}

QString InJapanese(const TVeskMessage& message)
{
    return Phrase(message, JapanesePhrase);
}

QString SkippedRecordsNote(const QString& what, int count)
{
    return QStringLiteral("%1: 値が壊れているオブジェクト %2 個を読み飛ばしました。").arg(what).arg(count);
}

} // namespace vesk
