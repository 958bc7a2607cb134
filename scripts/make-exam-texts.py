#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the exam practice texts of res/exam/: telegram-style Wabun lines
# (half-width katakana, voiced marks as their own signs, full-size kana as
# telegrams write them) and plain English lines, each drawn from our own
# phrases with a fixed seed, so that the files are the same every time.
#
#   python3 scripts/make-exam-texts.py res/exam
import random
import sys
import unicodedata

HALF = {}
for c in range(0xFF66, 0xFF9E):
    HALF[unicodedata.normalize("NFKC", chr(c))] = chr(c)
HALF["\u3099"] = "\uFF9E"
HALF["\u309A"] = "\uFF9F"
HALF["ー"] = "\uFF70"


def half(text):
    out = []
    for ch in unicodedata.normalize("NFD", text):
        out.append(HALF.get(ch, ch))
    return "".join(out)


def wabun(rng):
    days = ["アス", "アサツテ", "コンヤ", "ケサ", "ライシユウ", "コンシユウ", "ゲツヨウ", "カヨウ", "スイヨウ",
            "モクヨウ", "キンヨウ", "ドヨウ", "ニチヨウ", "ツイタチ", "ハツカ"]
    places = ["トウキヨウ", "オオサカ", "ナゴヤ", "サツポロ", "センダイ", "ヒロシマ", "フクオカ", "ナハ", "ヨコハマ",
              "コウベ", "キヨウト", "ニイガタ", "カナザワ", "シズオカ", "ハコダテ", "カゴシマ", "タカマツ",
              "マツヤマ", "ナガノ", "ミト", "クシロ", "アオモリ", "トヤマ", "ワカヤマ", "ナガサキ"]
    kin = ["チチ", "ハハ", "アニ", "アネ", "オトウト", "イモウト", "ソフ", "ソボ", "オジ", "オバ", "ムスコ", "ムスメ"]
    senders = kin + ["シヤチヨウ", "センセイ", "カチヨウ", "ブチヨウ", "センチヨウ", "キヨクチヨウ"]
    ill = ["キトク", "ニユウイン", "ケガ", "ビヨウキ", "シユジユツ"]
    weather = ["オオアメ", "オオユキ", "タイフウ", "ノウム", "ボウフウ", "カミナリ"]
    goods = ["ニモツ", "シヨルイ", "シナモノ", "ブヒン", "テガミ", "シヤシン", "キツプ", "パスポート", "ペン", "パン",
             "キヌ", "ヌノ"]
    # Towns with a harbour, for what ships do.
    ports = ["ヨコハマ", "コウベ", "ハコダテ", "ナガサキ", "ニイガタ", "シミズ", "モジ", "オタル", "ナゴヤ", "ハカタ",
             "カゴシマ", "ヌマヅ", "ナハ", "クシロ"]

    def time():
        h = rng.randint(1, 12)
        if rng.random() < 0.5:
            return f"{h}ジ"
        return f"{h}ジ{rng.choice([10, 15, 20, 30, 40, 45, 50])}フン"

    def n(lo, hi):
        return str(rng.randint(lo, hi))

    day, place, rel = (lambda: rng.choice(days)), (lambda: rng.choice(places)), (lambda: rng.choice(senders))
    templates = [
        lambda: f"{day()} {time()} {place()}エキ ニ ツク ムカエ タノム",
        lambda: f"{rng.choice(kin)} {rng.choice(ill)} スグ カエレ {rel()}",
        lambda: f"{rng.choice(goods)} {day()} {place()} ヘ オクツタ ウケトレ",
        lambda: f"シケン ゴウカク オメデトウ {rel()} ヨリ",
        lambda: f"カイギ {day()} {time()} ニ ヘンコウ ゴシユツセキ コウ",
        lambda: f"キツプ {n(2, 9)}マイ テハイ ズミ {place()} {time()} ハツ",
        lambda: f"{rng.choice(ports)} ハ {rng.choice(weather)} {day()} ノ フネ ケツコウ",
        lambda: f"オカネ {n(1, 50)}マンエン オクル ウケトリ シラセ",
        lambda: f"{rng.choice(kin)} ブジ {place()} ニ ツイタ アンシン セヨ",
        lambda: f"ホテル {n(1, 5)}ハク ヨヤク タノム {day()} カラ",
        lambda: f"シユツチヨウ {n(2, 9)}ニチ ノビル {day()} カエル",
        lambda: f"タンジヨウビ オメデトウ ゲンキデ {rel()} ヨリ",
        lambda: f"ジコ ノ タメ {time()} ノ レツシヤ ウンキユウ",
        lambda: f"コウジ ノ タメ {day()} テイデン {time()} カラ {n(2, 6)}ジカン",
        lambda: f"{rng.choice(goods)} {n(10, 500)}コ チユウモン {day()} マデニ ノウヒン コウ",
        lambda: f"ユウシヨウ オメデトウ {place()} ノ ミナ ヨリ",
        lambda: f"ヨテイ ドオリ {day()} {place()} ヲ タツ シンパイ ムヨウ",
        lambda: f"ゴケツコン オメデトウ スエナガク オシアワセニ {rel()}",
        lambda: f"{rng.choice(ports)}コウ {n(1, 9)}バン ソウコ ノ {rng.choice(goods)} ヲ ダセ",
        lambda: f"フネ {day()} {time()} {rng.choice(ports)} ニユウコウ {n(2, 30)}ニン ゲセン",
        lambda: f"イヌ ヲ アズカル {day()} マデ {rel()}",
        lambda: f"{rng.choice(weather)} ニテ {place()} ユキ ノ ビン ケツコウ {day()} ニ エンキ",
        lambda: f"ヘンジ マツ {place()} {rel()}",
        lambda: f"ゴソウギ {day()} {time()} ヨリ {place()} ニテ",
        lambda: f"ニユウガク オメデトウ ベンキヨウ ガンバレ {rel()}",
        lambda: f"{rng.choice(goods)} トドカズ {day()} マデニ サイソウ コウ",
        lambda: f"デンワ コワレタ {time()} ニ マタ レンラク スル",
        lambda: f"ゴエンジヨ カンシヤ {place()} ニテ オレイ モウシアゲマス",
        lambda: f"ヨヤク {n(2, 20)}メイ {day()} {time()} ヨリ ヒロマ ヲ カリタシ",
    ]
    return half(rng.choice(templates)())


def english(rng):
    cities = ["TOKYO", "OSAKA", "LONDON", "PARIS", "SYDNEY", "BOSTON", "SEATTLE", "HONOLULU", "SINGAPORE",
              "MANILA", "VANCOUVER", "LISBON", "OSLO", "CAIRO", "DUBLIN", "GENOA", "HAMBURG", "PERTH", "ZURICH",
              "JAKARTA", "JUNEAU", "ZAGREB"]
    weekdays = ["MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY", "SUNDAY"]
    # A subject and whether it takes a plural verb.
    things = [("THE PARCEL", False), ("YOUR LETTER", False), ("THE SPARE PARTS", True), ("THE CHARTS", True),
              ("TWO CRATES OF TEA", True), ("THE NEW RADIO", False), ("THE SIGNED CONTRACT", False),
              ("FRESH WATER", False), ("THE MEDICINE", False), ("THE MAIL BAGS", True), ("A SPARE ANTENNA", False),
              ("THE ZINC SHEETS", True), ("A JAR OF JAM", False)]
    people = ["MOTHER", "FATHER", "THE CAPTAIN", "THE AGENT", "THE PILOT", "OUR DOCTOR", "THE CHIEF ENGINEER",
              "YOUR BROTHER", "MY SISTER", "THE HARBOUR MASTER", "THE RADIO OFFICER"]
    weather = ["HEAVY RAIN", "DENSE FOG", "A STRONG GALE", "HIGH SEAS", "SNOW AND ICE", "A TYPHOON WARNING"]

    def hour(evening=False):
        if evening:
            return f"{rng.randint(6, 11)} PM"
        return f"{rng.randint(1, 12)} {rng.choice(['AM', 'PM'])}"

    def d():
        # A day as it stands alone: a weekday, TOMORROW or TONIGHT.
        return rng.choice(weekdays + ["TOMORROW", "TONIGHT"])

    def on_d():
        # After a verb: "ON MONDAY", but "TOMORROW" without ON.
        day = d()
        return day if day in ("TOMORROW", "TONIGHT") else f"ON {day}"

    def when():
        # A day and an hour that agree: TONIGHT only in the evening.
        day = d()
        return f"{day} AT {hour(day == 'TONIGHT')}"

    def t():
        return rng.choice(things)[0]

    def was_sent():
        thing, plural = rng.choice(things)
        return f"{thing} {'WERE' if plural else 'WAS'} SENT"

    def arrived():
        return f"{t()} ARRIVED SAFELY"

    c, p = (lambda: rng.choice(cities)), (lambda: rng.choice(people))
    templates = [
        lambda: f"ARRIVING {c()} {when()} PLEASE MEET ME AT THE STATION",
        lambda: f"{was_sent()} TO {c()} {on_d()} PLEASE CONFIRM RECEIPT",
        lambda: f"SHIP DELAYED BY {rng.choice(weather)} NEW ARRIVAL {when()}",
        lambda: f"{p()} IS WELL AND SENDS LOVE TO ALL AT HOME",
        lambda: f"MEETING MOVED TO {when()} IN {c()}",
        lambda: f"PLEASE BOOK {rng.randint(2, 6)} ROOMS IN {c()} FROM {d()} FOR {rng.randint(2, 9)} NIGHTS",
        lambda: f"WE NEED {t()} BEFORE {d()} OR WORK MUST STOP",
        lambda: f"CONGRATULATIONS ON YOUR EXAM RESULTS FROM ALL OF US IN {c()}",
        lambda: f"{p()} WILL CALL YOU {when()} STAND BY ON THE USUAL FREQUENCY",
        lambda: f"WEATHER AT {c()} IS {rng.choice(weather)} ALL FLIGHTS CANCELLED UNTIL {d()}",
        lambda: f"SEND {rng.randint(100, 900)} POUNDS TO THE BANK IN {c()} BY {d()}",
        lambda: f"YOUR ORDER OF {rng.randint(10, 500)} BOXES LEAVES {c()} {d()} BY SEA",
        lambda: f"REGRET I CANNOT COME {d()} LETTER FOLLOWS",
        lambda: f"{p()} ASKS YOU TO REPLY BY {when()}",
        lambda: f"HAPPY BIRTHDAY AND BEST WISHES FROM {c()}",
        lambda: f"POSITION {rng.randint(10, 59)} NORTH {rng.randint(100, 179)} EAST SPEED {rng.randint(8, 20)} KNOTS ALL WELL",
        lambda: f"PILOT REQUIRED {when()} FOR ENTRY INTO {c()} HARBOUR",
        lambda: f"{arrived()} THANK YOU FOR YOUR HELP",
        lambda: f"JUST ARRIVED IN {c()} JOINING THE SHIP {on_d()}",
        lambda: f"THE TRAIN FROM {c()} IS LATE EXPECT ME AFTER {hour()}",
        lambda: f"KEEP THE SET ON WATCH UNTIL {hour()} THEN CLOSE DOWN",
        lambda: f"{p()} LEAVES {c()} {d()} WITH {t()}",
        lambda: f"ALL CREW ARE SAFE AFTER {rng.choice(weather)} NO DAMAGE TO THE HULL",
        lambda: f"QUOTE YOUR BEST PRICE FOR {rng.randint(20, 900)} TONS OF RICE DELIVERED TO {c()}",
        lambda: f"PLEASE FORWARD MY MAIL TO THE HOTEL IN {c()} UNTIL {d()}",
        lambda: f"WE WILL SAIL FOR {c()} {on_d()} IF THE WEATHER ALLOWS",
        lambda: f"CHECK THE LOG FOR {d()} AND SEND A COPY TO {p()}",
    ]
    return rng.choice(templates)()


def write(path, make, count, seed):
    rng = random.Random(seed)
    lines = []
    seen = set()
    while len(lines) < count:
        line = make(rng)
        if line not in seen:
            seen.add(line)
            lines.append(line)
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "res/exam"
    write(f"{folder}/wabun.txt", wabun, 300, 7501)
    write(f"{folder}/plain.txt", english, 300, 10001)
