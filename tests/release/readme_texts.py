"""The texts a user meets, by language, as the sources give them, and the check that a
readme quotes only those.

A readme puts in double quotes what the program or its installer shows: the keep
question, the messages, the tray menu, the profile list's fixed entries and the
buttons as their skinned faces read. Every quote must be such a text in the readme's
language, and the texts a user meets first (the buttons, the question, the tray menu,
the profile entries) must all be quoted.
"""
import ast
import codecs
import os
import re

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LANGUAGE_SOURCE = os.path.join(TOP, "tunedeck", "clock", "language.cpp")
RESOURCE_SOURCE = os.path.join(TOP, "tunedeck", "res", "tunedeck.rc")
SKIN_SOURCE = os.path.join(TOP, "skins", "make_skins.py")
INSTALLER_SOURCE = os.path.join(TOP, "release", "velotune.nsi")

# readme language -> (message sets of language.cpp, tray menu of tunedeck.rc, skin,
# installer language)
LANGUAGES = {
    "en": (("kDefaultSet", "kEnglishSet"), "IDR_TRAY_MENU_ENGLISH", "usa", "LANG_ENGLISH"),
    "cht": (("kChineseSet",), "IDR_TRAY_MENU_CHINESE", "cht", "LANG_TRADCHINESE"),
}
# Message set fields a user meets before anything else goes wrong.
FIRST_MET = ("keepClockMsg", "currentSettings", "defaultEntry", "ok", "cancel", "noCardMsg")
# Fields that are ordinary words in a readme's prose as well: the program's name and
# the name dialog's caption ("Profile").
PROSE_FIELDS = ("title", "profile")


def _read(path):
    with open(path, encoding="utf-8-sig") as f:
        return f.read()


def _c_literal_groups(body):
    """The values of a C initialiser list: adjacent string literals joined (as bytes),
    other items as their text."""
    body = re.sub(r"//[^\n]*", "", body)
    items, current, pos = [], None, 0
    token = re.compile(r'\s*(?:"((?:[^"\\]|\\.)*)"|(,)|([^",\s]+))', re.S)
    while pos < len(body):
        m = token.match(body, pos)
        if not m or m.end() == pos:
            break
        pos = m.end()
        literal, comma, other = m.groups()
        if literal is not None:
            current = (current or b"") + codecs.escape_decode(literal.encode("latin-1"))[0]
        elif other is not None:
            current = other
        elif comma:
            items.append(current)
            current = None
    if current is not None:
        items.append(current)
    return items


def message_sets():
    """Set name -> {field: text} of the program's message table."""
    source = _read(LANGUAGE_SOURCE)
    fields = re.findall(r"const char\* (\w+);", re.search(r"struct MessageSet \{(.*?)\};", source, re.S).group(1))
    sets = {}
    for name, body in re.findall(r"const MessageSet (\w+) = \{(.*?)\n\};", source, re.S):
        values = {}
        for field, item in zip(fields, _c_literal_groups(body)):
            if isinstance(item, bytes):
                values[field] = item.decode("big5" if name == "kChineseSet" else "ascii")
            else:  # another set's field: kDefaultSet.title
                other, other_field = item.split(".")
                values[field] = sets[other][other_field]
        if len(values) != len(fields):
            raise ValueError(f"{name}: {len(values)} values for {len(fields)} fields")
        sets[name] = values
    return sets


def tray_menu(menu_id):
    source = _read(RESOURCE_SOURCE)
    block = re.search(menu_id + r" MENU\s+BEGIN(.*?)\nEND", source, re.S).group(1)
    return re.findall(r'MENUITEM\s+"([^"]*)"', block)


def button_faces(skin):
    tree = ast.parse(_read(SKIN_SOURCE))
    for node in tree.body:
        if isinstance(node, ast.Assign) and getattr(node.targets[0], "id", "") == "TEXTS":
            return list(ast.literal_eval(node.value)[skin]["buttons"].values())
    raise ValueError("no TEXTS in " + SKIN_SOURCE)


def installer_texts(language):
    """The installer's names and texts in one language: its defines, its language
    strings, its folder and its Add/Remove Programs name."""
    source = _read(INSTALLER_SOURCE)
    defines = dict(re.findall(r'^!define (\w+) "([^"]*)"', source, re.M))

    def expand(text):
        text = re.sub(r"\$\{(\w+)\}", lambda m: defines.get(m.group(1), m.group(0)), text)
        return text.replace("$PROGRAMFILES\\", "Program Files\\").replace("$\\r$\\n", "\n")

    texts = [expand(v) for v in defines.values()]
    texts += [expand(v) for v in re.findall(r'^LangString \w+ \$\{' + language + r'\} "([^"]*)"', source, re.M)]
    texts += [expand(v) for v in re.findall(r'^InstallDir "([^"]*)"', source, re.M)]
    texts += [expand(v) for v in re.findall(r'WriteRegStr \w+ "[^"]*" "DisplayName" "([^"]*)"', source)]
    return texts


def known_texts(lang):
    """(every text the readme may quote, the texts it must quote, the program's texts
    it may name only in quotes) for one language."""
    set_names, menu_id, skin, installer_language = LANGUAGES[lang]
    sets = message_sets()
    program = [text for name in set_names for text in sets[name].values()]
    first_met = [sets[set_names[-1]][field] for field in FIRST_MET]
    menu = tray_menu(menu_id)
    faces = button_faces(skin)
    allowed = program + menu + faces + installer_texts(installer_language)
    named = [text for name in set_names for field, text in sets[name].items() if field not in PROSE_FIELDS]
    return allowed, first_met + menu + faces, named + menu + faces


def _squeezed(text):
    # A readme breaks a message's line where it likes; the program's "\n" is a break too.
    return re.sub(r"\s+", "", text)


def _matcher(text):
    # "%d" in a message stands for the number the user sees.
    return re.compile("^" + re.escape(_squeezed(text)).replace("%d", r"\d+") + "$")


def quoted(readme_text):
    """The double-quoted texts of a readme, or None when a quote is left open."""
    if readme_text.count('"') % 2:
        return None
    return re.findall(r'"([^"]*)"', readme_text)


def _unquoted_names(readme_text, named):
    """Program texts the readme names outside quotes. Texts shorter than three letters
    (OK, 確定) are ordinary words too; a Latin text counts only as a whole word."""
    prose = re.sub(r'"[^"]*"', '""', readme_text)
    found = []
    for text in dict.fromkeys(named):
        if len(text) < 3:
            continue
        # Line breaks of the readme may fall where the text has a blank.
        pattern = r"\s+".join(re.escape(word) for word in text.split())
        if re.search(r"(?<![A-Za-z])" + pattern + r"(?![A-Za-z])", prose):
            found.append(text)
    return found


def check_readme(readme_text, lang):
    """Problems found: quotes the program lacks in this language, texts never quoted,
    program texts named without quotes (as a button's name that its face does not
    show)."""
    quotes = quoted(readme_text)
    if quotes is None:
        return ["a double quote is left open"]
    allowed, required, named = known_texts(lang)
    problems = [f"names {t!r} without quotes" for t in _unquoted_names(readme_text, named)]
    matchers = [_matcher(t) for t in allowed]
    problems += [f"quotes {q!r}, which the program does not show in this language"
                for q in quotes if not any(m.match(_squeezed(q)) for m in matchers)]
    squeezed_quotes = {_squeezed(q) for q in quotes}
    problems += [f"never quotes {t!r}, which the user meets" for t in dict.fromkeys(required)
                 if _squeezed(t) not in squeezed_quotes]
    return problems
