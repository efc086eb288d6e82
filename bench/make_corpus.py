#!/usr/bin/env python3
"""Makes the benchmark's data, the same bytes on every machine and without the network:

  corpus.txt   Russian and Ukrainian prose in Windows-1251 with CR LF line ends (~100 MB)
  upper.tab    a 1:1 table: Latin and Cyrillic lower case to upper case
  scale-N.tab  tables of N entries (1, 100, 10000) that leave the corpus as it is
  win2trans-keyed-100.tab  win2trans.tab with 100 entries for every key, the same output

usage: make_corpus.py OUT_DIR WIN2TRANS_TAB [MEGABYTES]
"""
import os
import random
import sys

RUSSIAN = """
время человек жизнь день рука работа слово место лицо друг глаз вопрос дом сторона страна мир
случай голова ребёнок сила конец вид система часть город отношение женщина деньги земля машина
вода отец проблема час право нога решение дверь образ история власть закон война бог голос тысяча
книга возможность результат ночь стол имя область статья число компания народ жена группа
развитие процесс суд условие средство начало свет пора путь душа уровень форма связь минута улица
вечер качество мысль дорога мать действие месяц государство язык любовь взгляд мама век школа цель
общество деятельность организация президент комната порядок момент театр письмо утро помощь
ситуация роль рубль смысл состояние квартира орган внимание тело труд сын мера смерть рынок
программа задача предприятие окно разговор правительство семья производство информация положение
центр ответ муж автор стена интерес федерация правило управление мужчина идея партия
быть знать мочь сказать говорить стать хотеть идти видеть думать сделать ждать жить понять
смотреть найти взять дать оставаться сидеть стоять любить писать читать слушать помнить ехать
новый большой должен последний русский каждый хороший высокий главный старый живой белый чёрный
тихий ясный тёплый зелёный широкий длинный светлый осенний весенний утренний северный
и в не на я быть он с что а по это она этот к но они мы как из у который то за свой
весь год от так о для ты же все тот мочь вы также уже когда даже если только ещё где или
"""

UKRAINIAN = """
час людина життя день рука робота слово місце обличчя друг око питання будинок сторона країна
світ випадок голова дитина сила кінець вигляд система частина місто ставлення жінка гроші земля
вода батько проблема година право нога рішення двері образ історія влада закон війна голос
тисяча книжка можливість результат ніч стіл ім'я область стаття число компанія народ дружина
розвиток процес суд умова засіб початок світло шлях душа рівень форма зв'язок хвилина вулиця
вечір якість думка дорога мати дія місяць держава мова кохання погляд мама століття школа мета
суспільство діяльність порядок мить театр лист ранок допомога кімната їжа пісня ґанок ґудзик
є їхати їсти їжак йти євро єдність ґрунт поїзд подвір'я яблуко ясен юнак щастя щодня
бути знати могти сказати говорити стати хотіти іти бачити думати зробити чекати жити зрозуміти
дивитися знайти взяти дати залишатися сидіти стояти любити писати читати слухати пам'ятати
новий великий останній кожен добрий високий головний старий живий білий чорний тихий ясний
теплий зелений широкий довгий світлий осінній весняний ранковий північний український
і в не на я він з що а по це вона цей до але вони ми як із у який то за свій
весь рік від так о для ти ж усі той ви також вже коли навіть якщо тільки ще де або
"""

LATIN = "Windows Lettermill UTF-8 KOI8-R ISO OK PDF e-mail".split()
QUOTES = [("«", "»"), ("„", "“"), ("\"", "\"")]


def sentence(rng, words):
    count = rng.randint(4, 16)
    chosen = [rng.choice(words) for _ in range(count)]
    if rng.random() < 0.15:
        chosen[rng.randrange(count)] = rng.choice(LATIN)
    if rng.random() < 0.2:
        chosen.insert(rng.randrange(count), str(rng.randint(1, 2030)))
    if rng.random() < 0.05:
        chosen.insert(rng.randrange(count), "№ " + str(rng.randint(1, 999)))
    if rng.random() < 0.15:
        i = rng.randrange(count)
        left, right = rng.choice(QUOTES)
        chosen[i] = left + chosen[i] + right
    if rng.random() < 0.3:
        chosen.insert(rng.randrange(1, count + 1), rng.choice([",", "—", "–"]))
    text = " ".join(chosen).replace(" ,", ",")
    return text[0].upper() + text[1:] + rng.choice([".", ".", ".", "!", "?", "…"])


def paragraph(rng):
    words = (RUSSIAN if rng.random() < 0.6 else UKRAINIAN).split()
    text = " ".join(sentence(rng, words) for _ in range(rng.randint(2, 9)))
    lines, line = [], ""
    for word in text.split(" "):
        if line and len(line) + 1 + len(word) > rng.randint(60, 90):
            lines.append(line)
            line = word
        else:
            line = f"{line} {word}" if line else word
    lines.append(line)
    return "\r\n".join(lines).encode("cp1251") + b"\r\n\r\n"


def write_corpus(path, megabytes):
    rng = random.Random(1957)
    pool = [paragraph(rng) for _ in range(4000)]
    target = megabytes * 1000 * 1000
    written = 0
    with open(path, "wb") as out:
        while written < target:
            block = b"".join(rng.choice(pool) for _ in range(1000))
            out.write(block)
            written += len(block)


def write_table(path, lines):
    with open(path, "wb") as out:
        out.write(b"".join(line + b"\r\n" for line in lines))


def upper_table():
    lower = "abcdefghijklmnopqrstuvwxyzабвгдеёжзийклмнопрстуфхцчшщъыьэюяіїєґў"
    return [bytes([lo]) + b"=" + bytes([up]) for lo, up in
            zip(lower.encode("cp1251"), lower.upper().encode("cp1251"))]


def scaling_tables(win2trans_lines):
    """Tables of 1, 100 and 10000 entries, one or a hundred per key, that all leave the corpus
    as it is: the cost per byte must not grow with them. Each maps the byte 0x98, which code page
    1251 leaves unused, to two bytes, so that none of them is a 1:1 table."""
    absent = b"\x98=xx"
    keys = [bytes([b]) for b in range(0x21, 0x100) if b not in (0x3D, 0x98)][:99]
    identity = [key + b"=" + key for key in keys]
    tables = {
        "scale-1.tab": [absent],
        "scale-100.tab": [absent] + identity,
        # 99 empty entries in front of each identity entry: 100 entries for every key.
        "scale-10000.tab": [absent] + [e for key in keys[:99] for e in [key + b"="] * 100]
        + [key + b"=" + key for key in keys[:99]],
    }
    entries = [line for line in win2trans_lines if line]
    tables["win2trans-keyed-100.tab"] = [e for entry in entries
                                         for e in [entry[:1] + b"="] * 99 + [entry]]
    return tables


def main():
    out_dir, win2trans = sys.argv[1], sys.argv[2]
    megabytes = int(sys.argv[3]) if len(sys.argv) > 3 else 100
    os.makedirs(out_dir, exist_ok=True)
    corpus = os.path.join(out_dir, "corpus.txt")
    if not os.path.exists(corpus) or os.path.getsize(corpus) < megabytes * 1000 * 1000:
        write_corpus(corpus, megabytes)
    write_table(os.path.join(out_dir, "upper.tab"), upper_table())
    with open(win2trans, "rb") as table:
        lines = table.read().replace(b"\r\n", b"\n").split(b"\n")
    for name, table_lines in scaling_tables(lines).items():
        write_table(os.path.join(out_dir, name), table_lines)


if __name__ == "__main__":
    main()
